-- books.sqlite as shipped: the seven tables, empty, in WAL journal mode.
-- Identifiers, chapter numbers and time stamps are INTEGER so that they compare and sort
-- as numbers even when a caller binds them as decimal text. Every WHERE the application
-- runs is served by one of the indexes below.
PRAGMA journal_mode = WAL;
PRAGMA user_version = 1;

BEGIN;

CREATE TABLE book (
    book_id INTEGER NOT NULL,
    title TEXT,
    cover TEXT,
    last_chapter_number INTEGER,
    download_time INTEGER,
    update_time INTEGER
);
CREATE INDEX book_by_book_id ON book (book_id);
CREATE INDEX book_by_update_time ON book (update_time);

-- A chapter of a book is stored once: two batches racing over the same chapters cannot
-- both insert it.
CREATE TABLE chapter (
    id INTEGER PRIMARY KEY,
    chapter_id INTEGER NOT NULL,
    book_id INTEGER NOT NULL,
    title TEXT,
    content TEXT
);
CREATE UNIQUE INDEX chapter_by_book_chapter ON chapter (book_id, chapter_id);

-- One entry per book and chapter: REPLACE INTO replaces the entry it collides with.
CREATE TABLE chaptermenu (
    id INTEGER PRIMARY KEY,
    chapter_id INTEGER NOT NULL,
    book_id INTEGER NOT NULL,
    title TEXT,
    downstatus INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX chaptermenu_by_book_chapter ON chaptermenu (book_id, chapter_id);

CREATE TABLE lastreadrecord (
    book_id INTEGER NOT NULL,
    chapter_id INTEGER,
    page_id INTEGER,
    create_time INTEGER
);
CREATE UNIQUE INDEX lastreadrecord_by_book ON lastreadrecord (book_id);

CREATE TABLE mark (
    id INTEGER PRIMARY KEY,
    book_id INTEGER NOT NULL,
    chapter_id INTEGER,
    page_id INTEGER,
    title TEXT,
    create_time INTEGER
);
CREATE INDEX mark_by_page ON mark (book_id, chapter_id, page_id);

-- One row per category: two lists stored at nearly the same time cannot double it.
CREATE TABLE category (
    cate_id INTEGER,
    name TEXT
);
CREATE UNIQUE INDEX category_by_cate_id ON category (cate_id);

CREATE TABLE search (
    title TEXT NOT NULL,
    time INTEGER
);
CREATE UNIQUE INDEX search_by_title ON search (title);
CREATE INDEX search_by_time ON search (time);

COMMIT;
