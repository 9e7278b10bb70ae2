#include "replay/replay_steps.h"

#include "replay/replay_format.h"

#include <cstring>

namespace {

using namespace replay_format;

// The steps were packed by add(), so every read finds its bytes.
class Unpacker {
public:
    Unpacker(const std::vector<std::uint8_t>& bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    std::size_t at() const { return at_; }
    std::uint8_t byte() { return bytes_[at_++]; }

    float floatValue() {
        float value = 0.0f;
        std::memcpy(&value, &bytes_[at_], sizeof value);
        at_ += sizeof value;
        return value;
    }

    std::uint64_t varint() {
        std::uint64_t value = 0;
        for (int shift = 0;; shift += 7) {
            const std::uint8_t next = byte();
            value |= static_cast<std::uint64_t>(next & 0x7F) << shift;
            if ((next & 0x80) == 0) {
                return value;
            }
        }
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_;
};

} // namespace

ReplaySteps::Iterator::Iterator(const std::vector<std::uint8_t>& bytes, std::size_t at)
    : bytes_(&bytes), at_(at) {
    decode();
}

ReplaySteps::Iterator& ReplaySteps::Iterator::operator++() {
    at_ = next_;
    decode();
    return *this;
}

void ReplaySteps::Iterator::decode() {
    if (at_ >= bytes_->size()) {
        return;
    }
    Unpacker unpacker(*bytes_, at_);
    step_ = ReplayStep{};
    switch (unpacker.byte()) {
    case kFrameTag:
        clockMs_ = static_cast<int>(clockMs_ + unzigzag(unpacker.varint()));
        step_.clockMs = clockMs_;
        break;
    case kButtonTag:
        step_.kind = ReplayStep::Kind::Button;
        step_.button = unpacker.byte();
        step_.state = unpacker.byte();
        step_.x = unpacker.floatValue();
        step_.y = unpacker.floatValue();
        break;
    default:
        step_.kind = ReplayStep::Kind::Pointer;
        step_.x = unpacker.floatValue();
        step_.y = unpacker.floatValue();
        break;
    }
    next_ = unpacker.at();
}

void ReplaySteps::add(const ReplayStep& step) {
    switch (step.kind) {
    case ReplayStep::Kind::Frame:
        addByte(kFrameTag);
        addVarint(zigzag(static_cast<std::int64_t>(step.clockMs) - lastClockMs_));
        lastClockMs_ = step.clockMs;
        break;
    case ReplayStep::Kind::Button:
        addByte(kButtonTag);
        addByte(static_cast<std::uint8_t>(step.button));
        addByte(static_cast<std::uint8_t>(step.state));
        addFloat(step.x);
        addFloat(step.y);
        break;
    case ReplayStep::Kind::Pointer:
        addByte(kPointerTag);
        addFloat(step.x);
        addFloat(step.y);
        break;
    }
    ++count_;
    if (step.kind == ReplayStep::Kind::Frame) {
        framesEnd_ = bytes_.size();
        countThroughLastFrame_ = count_;
    }
}

void ReplaySteps::dropAfterLastFrame() {
    bytes_.resize(framesEnd_);
    count_ = countThroughLastFrame_;
}

void ReplaySteps::addFloat(float value) {
    std::uint8_t bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    bytes_.insert(bytes_.end(), bytes, bytes + sizeof value);
}

void ReplaySteps::addVarint(std::uint64_t value) {
    while (value >= 0x80) {
        addByte(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    addByte(static_cast<std::uint8_t>(value));
}
