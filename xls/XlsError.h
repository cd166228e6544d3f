#pragma once

#include "FileError.h"

//! Why a spreadsheet file could not be written; the message is meant for the user.
class XlsError : public FileError {
public:
    using FileError::FileError;
};
