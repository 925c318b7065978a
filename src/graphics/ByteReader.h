#pragma once

#include "graphics/Errors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vs {

// A bounded little- or big-endian cursor over bytes. Every read past the end throws
// DecodeError with the reader's name, so a parser never trusts a length field.
class ByteReader {
public:
    ByteReader(std::span<const std::uint8_t> data, const char* what) : data_(data), what_(what) {}

    std::size_t size() const { return data_.size(); }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    void seek(std::size_t offset) {
        if (offset > data_.size())
            fail("offset beyond the end of the file");
        pos_ = offset;
    }
    void skip(std::size_t n) {
        need(n);
        pos_ += n;
    }

    std::uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::uint16_t u16le() {
        need(2);
        const auto v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32le() {
        need(4);
        const std::uint32_t v = std::uint32_t{data_[pos_]} | (std::uint32_t{data_[pos_ + 1]} << 8) |
                                (std::uint32_t{data_[pos_ + 2]} << 16) | (std::uint32_t{data_[pos_ + 3]} << 24);
        pos_ += 4;
        return v;
    }
    std::uint16_t u16be() {
        need(2);
        const auto v = static_cast<std::uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32be() {
        need(4);
        const std::uint32_t v = (std::uint32_t{data_[pos_]} << 24) | (std::uint32_t{data_[pos_ + 1]} << 16) |
                                (std::uint32_t{data_[pos_ + 2]} << 8) | std::uint32_t{data_[pos_ + 3]};
        pos_ += 4;
        return v;
    }
    std::int16_t i16le() { return static_cast<std::int16_t>(u16le()); }
    std::int32_t i32le() { return static_cast<std::int32_t>(u32le()); }
    std::int16_t i16be() { return static_cast<std::int16_t>(u16be()); }
    std::int32_t i32be() { return static_cast<std::int32_t>(u32be()); }

    // The next n bytes, without copying.
    std::span<const std::uint8_t> bytes(std::size_t n) {
        need(n);
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }

    [[noreturn]] void fail(const std::string& why) const { throw DecodeError(std::string(what_) + ": " + why); }

private:
    void need(std::size_t n) const {
        if (n > data_.size() - pos_)
            fail("unexpected end of file");
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    const char* what_;
};

}  // namespace vs
