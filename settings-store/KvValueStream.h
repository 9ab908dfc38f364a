// Property values of a component stream as tagged bytes: integers, strings,
// Booleans and nested lists. Reading checks every length against the bytes
// that are left and raises EReadError on anything malformed. No Windows here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Classes.h"

namespace kv {

class EReadError : public velfw::Exception {
public:
    using Exception::Exception;
};

enum TKvValueTag : uint8_t {
    vaListEnd = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 5,   // length byte, then the characters
    vaLString = 6,  // 32-bit length, then the characters
    vaFalse = 7,
    vaTrue = 8,
};

class TKvValueWriter {
public:
    void WriteListBegin() { bytes_.push_back(vaList); }
    void WriteListEnd() { bytes_.push_back(vaListEnd); }
    void WriteInteger(int32_t value);
    void WriteString(const std::string& value);
    void WriteBoolean(bool value) { bytes_.push_back(value ? vaTrue : vaFalse); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void PutLittleEndian(uint32_t value, int size);
    std::vector<uint8_t> bytes_;
};

// Reads over bytes it does not own; they must outlive the reader.
class TKvValueReader {
public:
    TKvValueReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit TKvValueReader(const std::vector<uint8_t>& bytes) : TKvValueReader(bytes.data(), bytes.size()) {}
    explicit TKvValueReader(std::vector<uint8_t>&&) = delete;  // the bytes would be gone at once

    void ReadListBegin() { Expect(vaList); }
    void ReadListEnd() { Expect(vaListEnd); }
    bool EndOfList() const;  // the next value is a list end
    int32_t ReadInteger();
    std::string ReadString();
    bool ReadBoolean();
    bool AtEnd() const { return pos_ == size_; }

private:
    uint8_t ReadTag();
    void Expect(uint8_t tag);
    uint32_t TakeLittleEndian(size_t size);
    [[noreturn]] static void Fail();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace kv
