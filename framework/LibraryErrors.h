// Exceptions of the class library that the stream and picture code raises,
// with the library's own texts. No Windows here.
#pragma once

#include <string>

#include "Classes.h"

namespace velfw {

// A stream that cannot supply the bytes asked for.
class EReadError : public Exception {
public:
    EReadError() : Exception("Stream read error") {}
};

class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

// A device context, bitmap or icon the system could not supply.
class EOutOfResources : public Exception {
public:
    EOutOfResources() : Exception("Out of system resources") {}
};

// A bitmap or picture whose data cannot be used.
class EInvalidGraphic : public Exception {
public:
    explicit EInvalidGraphic(std::string message = "Bitmap image is not valid") : Exception(std::move(message)) {}
};

// An operation a picture cannot carry out on the data it holds.
class EInvalidGraphicOperation : public Exception {
public:
    explicit EInvalidGraphicOperation(std::string message) : Exception(std::move(message)) {}
};

}  // namespace velfw
