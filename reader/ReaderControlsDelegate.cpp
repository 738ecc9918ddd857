#include "reader/ReaderControlsDelegate.h"

ReaderControlsDelegate::~ReaderControlsDelegate() = default;
