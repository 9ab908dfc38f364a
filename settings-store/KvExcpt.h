// The library's exceptions; each takes its message from the library strings
// when it is made. No Windows here.
#pragma once

#include <string>

#include "Classes.h"
#include "KvConst.h"

namespace kv {

class EKvException : public velfw::Exception {
public:
    using Exception::Exception;
};

class ENoTimersAvailable : public EKvException {
public:
    ENoTimersAvailable() : EKvException(LibraryString(SNoTimersAvailable)) {}
};

class EControllerError : public EKvException {
public:
    using EKvException::EKvException;
};

class ENoControllerAssigned : public EControllerError {
public:
    ENoControllerAssigned() : EControllerError(LibraryString(SNoControllerAssigned)) {}
};

class ECmdProcessorError : public EKvException {
public:
    using EKvException::EKvException;
};

class EDuplicateCommand : public ECmdProcessorError {
public:
    EDuplicateCommand() : ECmdProcessorError(LibraryString(SDuplicateCommand)) {}
};

class ETableNotFound : public ECmdProcessorError {
public:
    ETableNotFound() : ECmdProcessorError(LibraryString(STableNotFound)) {}
};

}  // namespace kv
