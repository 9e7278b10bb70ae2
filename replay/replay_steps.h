#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

// One thing that happened to a recorded game, in the order it happened: the
// pointer moved, a button went down or up, or a frame was drawn.
struct ReplayStep {
    enum class Kind { Pointer, Button, Frame };

    Kind kind = Kind::Frame;
    // Pointer and Button: where the pointer was, in field units.
    float x = 0.0f;
    float y = 0.0f;
    // Button: GLUT's button number and state (GLUT_DOWN or GLUT_UP), a byte each.
    int button = 0;
    int state = 0;
    // Frame: the elapsed-time reading the frame used, in milliseconds.
    int clockMs = 0;
};

// The steps of a recorded game, kept packed much as its file keeps them: a
// frame at 60 Hz holds two bytes rather than a ReplayStep's 24, so that a
// recording takes no more memory than its file. Read in order, one at a time.
class ReplaySteps {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = ReplayStep;
        using difference_type = std::ptrdiff_t;
        using pointer = const ReplayStep*;
        using reference = const ReplayStep&;

        const ReplayStep& operator*() const { return step_; }
        const ReplayStep* operator->() const { return &step_; }
        Iterator& operator++();
        bool operator==(const Iterator& other) const { return at_ == other.at_; }
        bool operator!=(const Iterator& other) const { return at_ != other.at_; }

    private:
        friend class ReplaySteps;
        Iterator(const std::vector<std::uint8_t>& bytes, std::size_t at);
        void decode();

        const std::vector<std::uint8_t>* bytes_;
        std::size_t at_;
        std::size_t next_ = 0;
        int clockMs_ = 0;
        ReplayStep step_;
    };

    void add(const ReplayStep& step);
    // Room for steps that take up to `bytes` in all, as when they come from a file.
    void reserve(std::size_t bytes) { bytes_.reserve(bytes); }
    // Forgets the steps after the last frame.
    void dropAfterLastFrame();

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The memory the steps hold, in bytes.
    std::size_t bytesHeld() const { return bytes_.capacity(); }

    Iterator begin() const { return Iterator(bytes_, 0); }
    Iterator end() const { return Iterator(bytes_, bytes_.size()); }

private:
    void addByte(std::uint8_t byte) { bytes_.push_back(byte); }
    void addFloat(float value);
    void addVarint(std::uint64_t value);

    std::vector<std::uint8_t> bytes_;
    std::size_t count_ = 0;
    int lastClockMs_ = 0;
    // Where the last frame ends, and how many steps it ends.
    std::size_t framesEnd_ = 0;
    std::size_t countThroughLastFrame_ = 0;
};
