#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// How bookd reads a query string and checks the checksum that signed requests carry.
// This is the service's own reading of the convention, written apart from the client's
// signing code so that each keeps the other honest.
class RequestSignature final {
public:
    RequestSignature() = delete;

    // The salt shared with the client; it is never sent over the wire.
    static constexpr char kSalt[] = "Qm7tRvKe";

    // Splits a raw query (the part after "?") into its parameters and undoes the percent
    // escapes. Clients sign the raw values; folia escapes "&", "=" and "+" inside a value
    // (%26, %3D, %2B), so its values come back exactly. For a client that leaves them raw,
    // "+" stays "+" (not a space) and a fragment without "=" is taken as the rest of the
    // previous value that an unescaped "&" cut off. A repeated key keeps its last value.
    static QMap<QString, QString> parseQuery(const QByteArray& rawQuery);

    // MD5 (32 lower-case hex digits) of the values of every parameter but "checksum",
    // ordered by key, joined with "|", followed by the salt.
    static QString checksumFor(const QMap<QString, QString>& params);

    // True when params carries a checksum equal to checksumFor(params).
    static bool verify(const QMap<QString, QString>& params);
};
