#include "KvValueStream.h"

#include "ByteOrder.h"

namespace kv {

void TKvValueWriter::PutLittleEndian(uint32_t value, int size) {
    switch (size) {
    case 1: bytes_.push_back(static_cast<uint8_t>(value)); break;
    case 2: velfw::AppendLe16(bytes_, static_cast<uint16_t>(value)); break;
    default: velfw::AppendLe32(bytes_, value); break;
    }
}

void TKvValueWriter::WriteInteger(int32_t value) {
    // The smallest form that holds the value.
    if (value >= INT8_MIN && value <= INT8_MAX) {
        bytes_.push_back(vaInt8);
        PutLittleEndian(static_cast<uint32_t>(value), 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        bytes_.push_back(vaInt16);
        PutLittleEndian(static_cast<uint32_t>(value), 2);
    } else {
        bytes_.push_back(vaInt32);
        PutLittleEndian(static_cast<uint32_t>(value), 4);
    }
}

void TKvValueWriter::WriteString(const std::string& value) {
    if (value.size() <= 255) {
        bytes_.push_back(vaString);
        PutLittleEndian(static_cast<uint32_t>(value.size()), 1);
    } else {
        bytes_.push_back(vaLString);
        PutLittleEndian(static_cast<uint32_t>(value.size()), 4);
    }
    bytes_.insert(bytes_.end(), value.begin(), value.end());
}

void TKvValueReader::Fail() { throw EReadError("Invalid stream format"); }

uint8_t TKvValueReader::ReadTag() {
    if (pos_ >= size_) Fail();
    return data_[pos_++];
}

void TKvValueReader::Expect(uint8_t tag) {
    if (ReadTag() != tag) Fail();
}

bool TKvValueReader::EndOfList() const { return pos_ < size_ && data_[pos_] == vaListEnd; }

uint32_t TKvValueReader::TakeLittleEndian(size_t size) {
    if (size_ - pos_ < size) Fail();
    const uint8_t* p = data_ + pos_;
    pos_ += size;
    switch (size) {
    case 1: return *p;
    case 2: return velfw::ReadLe16(p);
    default: return velfw::ReadLe32(p);
    }
}

int32_t TKvValueReader::ReadInteger() {
    switch (ReadTag()) {
    case vaInt8: return static_cast<int8_t>(TakeLittleEndian(1));
    case vaInt16: return static_cast<int16_t>(TakeLittleEndian(2));
    case vaInt32: return static_cast<int32_t>(TakeLittleEndian(4));
    default: Fail();
    }
}

std::string TKvValueReader::ReadString() {
    size_t length = 0;
    switch (ReadTag()) {
    case vaString: length = TakeLittleEndian(1); break;
    case vaLString: length = TakeLittleEndian(4); break;
    default: Fail();
    }
    if (size_ - pos_ < length) Fail();
    std::string value(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length;
    return value;
}

bool TKvValueReader::ReadBoolean() {
    switch (ReadTag()) {
    case vaFalse: return false;
    case vaTrue: return true;
    default: Fail();
    }
}

}  // namespace kv
