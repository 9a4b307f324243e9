#include "platform/sim/SimTextField.h"

#include <algorithm>

#include "core/text/Text.h"

namespace quorix::platform {

SimTextField::SimTextField(std::string_view text) {
    setText(text);
}

std::string SimTextField::text() const {
    return text::fromUtf16(units_);
}

void SimTextField::setSelection(int64_t location, int64_t length) {
    const int64_t start = std::clamp<int64_t>(location, 0, this->length());
    const int64_t end = start + std::clamp<int64_t>(length, 0, this->length() - start);
    // Snap outwards to character boundaries: a selection never splits one.
    location_ = start;
    for (int64_t b : boundaries()) {
        if (b <= start) {
            location_ = b;
        }
    }
    int64_t snappedEnd = this->length();
    for (int64_t b : boundaries()) {
        if (b >= end) {
            snappedEnd = b;
            break;
        }
    }
    length_ = snappedEnd - location_;
}

std::string SimTextField::selectedText() const {
    return text::fromUtf16(std::u16string_view(units_).substr(location_, length_));
}

void SimTextField::insert(std::string_view s) {
    const std::u16string ins = text::toUtf16(s);
    units_.replace(static_cast<std::size_t>(location_), static_cast<std::size_t>(length_), ins);
    location_ += static_cast<int64_t>(ins.size());
    length_ = 0;
}

void SimTextField::selectAll() {
    location_ = 0;
    length_ = length();
}

void SimTextField::moveRight() {
    if (length_ > 0) {
        location_ += length_;
    } else {
        location_ = nextBoundary(location_);
    }
    length_ = 0;
}

void SimTextField::moveLeft() {
    if (length_ == 0) {
        location_ = previousBoundary(location_);
    }
    length_ = 0;
}

void SimTextField::deleteBackward() {
    if (length_ > 0) {
        erase(location_, location_ + length_);
    } else {
        erase(previousBoundary(location_), location_);
    }
}

void SimTextField::deleteForward() {
    if (length_ > 0) {
        erase(location_, location_ + length_);
    } else {
        erase(location_, nextBoundary(location_));
    }
}

void SimTextField::setText(std::string_view text) {
    units_ = text::toUtf16(text);
    location_ = length();
    length_ = 0;
}

std::string SimTextField::take() {
    std::string out = text();
    units_.clear();
    location_ = 0;
    length_ = 0;
    return out;
}

void SimTextField::erase(int64_t from, int64_t to) {
    units_.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    location_ = from;
    length_ = 0;
}

// Character boundaries are computed over the whole text: grapheme clusters
// depend on their context, and fields in tests are short.
std::vector<int64_t> SimTextField::boundaries() const {
    std::vector<int64_t> out{0};
    for (const auto& ch : text::characters(text())) {
        out.push_back(out.back() + static_cast<int64_t>(text::toUtf16(ch).size()));
    }
    return out;
}

int64_t SimTextField::nextBoundary(int64_t pos) const {
    for (int64_t b : boundaries()) {
        if (b > pos) {
            return std::min(b, length());
        }
    }
    return length();
}

int64_t SimTextField::previousBoundary(int64_t pos) const {
    int64_t last = 0;
    for (int64_t b : boundaries()) {
        if (b >= pos) {
            break;
        }
        last = b;
    }
    return last;
}

}  // namespace quorix::platform
