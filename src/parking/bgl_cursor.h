#pragma once
// A bounded view of one stretch of a BGL file: the file itself, a table, a record or a subrecord. Reads
// move a position forward and refuse to pass the end, so a record whose declared size is too small for
// its fields cannot reach the bytes of its neighbour. A reader that takes a record with take() leaves its
// parent at the record's end however much of the record it read.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace kvr {

// A read past the end of the stretch it was meant for.
class BglOverrun : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class BglCursor {
public:
    // fileOffset: where the first byte lies in the file, for log lines.
    explicit BglCursor(std::span<const std::uint8_t> bytes, std::size_t fileOffset = 0)
        : bytes_(bytes), fileOffset_(fileOffset) {}

    std::size_t size() const { return bytes_.size(); }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    bool fits(std::size_t count) const { return count <= remaining(); }
    // The file offset of the first byte and of the read position.
    std::size_t fileOffset() const { return fileOffset_; }
    std::size_t filePosition() const { return fileOffset_ + position_; }

    void seek(std::size_t offset) {
        if (offset > bytes_.size())
            throw BglOverrun("BGL position beyond the end of its record");
        position_ = offset;
    }
    void skip(std::size_t count) {
        require(count);
        position_ += count;
    }

    std::uint8_t u8() {
        require(1);
        return bytes_[position_++];
    }
    std::uint16_t u16() {
        require(2);
        const auto value = static_cast<std::uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
        position_ += 2;
        return value;
    }
    std::uint32_t u32() {
        require(4);
        const std::uint32_t value = static_cast<std::uint32_t>(bytes_[position_]) |
                                    static_cast<std::uint32_t>(bytes_[position_ + 1]) << 8 |
                                    static_cast<std::uint32_t>(bytes_[position_ + 2]) << 16 |
                                    static_cast<std::uint32_t>(bytes_[position_ + 3]) << 24;
        position_ += 4;
        return value;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() { return std::bit_cast<float>(u32()); }

    // Fields at fixed offsets from the start, leaving the position where it was.
    std::uint16_t u16At(std::size_t offset) const { return BglCursor(*this).at(offset).u16(); }
    std::uint32_t u32At(std::size_t offset) const { return BglCursor(*this).at(offset).u32(); }
    float f32At(std::size_t offset) const { return BglCursor(*this).at(offset).f32(); }

    // The next count bytes as a cursor of their own; this one moves past them.
    BglCursor take(std::size_t count) {
        require(count);
        BglCursor part(bytes_.subspan(position_, count), filePosition());
        position_ += count;
        return part;
    }
    // Bytes offset .. offset + count of this stretch, without moving.
    BglCursor slice(std::size_t offset, std::size_t count) const {
        return BglCursor(*this).at(offset).take(count);
    }
    // From the read position to the end.
    BglCursor rest() const { return BglCursor(bytes_.subspan(position_), filePosition()); }

private:
    BglCursor& at(std::size_t offset) {
        seek(offset);
        return *this;
    }
    void require(std::size_t count) const {
        if (count > remaining())
            throw BglOverrun("BGL read beyond the end of its record");
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t fileOffset_ = 0;
    std::size_t position_ = 0;
};

} // namespace kvr
