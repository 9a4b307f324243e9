#include "core/knowledge/ContextModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr uint64_t kMaxCount = 1'000'000'000'000;
constexpr std::size_t kMaxPairs = 10'000'000;

// The value of a "name value" line, or empty.
std::string_view field(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() + 1 || line.substr(0, name.size()) != name ||
        line[name.size()] != ' ') {
        return {};
    }
    return line.substr(name.size() + 1);
}

bool integer(std::string_view s, uint64_t& out) {
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), out);
    return error == std::errc() && end == s.data() + s.size() && !s.empty() && out <= kMaxCount;
}

bool real(std::string_view s, double& out) {
    if (s.empty() || s.size() > 40) {
        return false;
    }
    const std::string copy(s);
    char* end = nullptr;
    out = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && std::isfinite(out) && out >= 0;
}

// Splits "a b c" into exactly `n` fields.
bool fields(std::string_view line, std::size_t n, std::string_view* out) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t space = i + 1 < n ? line.find(' ') : line.size();
        if (space == std::string_view::npos || space == 0) {
            return false;
        }
        out[i] = line.substr(0, space);
        line.remove_prefix(std::min(line.size(), space + 1));
    }
    return out[n - 1].find(' ') == std::string_view::npos;
}

std::string formatNumber(double v) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << v;
    return out.str();
}

uint32_t saturate32(uint64_t v) {
    return static_cast<uint32_t>(std::min<uint64_t>(v, std::numeric_limits<uint32_t>::max()));
}

}  // namespace

std::unique_ptr<const ContextModel> ContextModel::parse(std::string_view data) {
    std::size_t pos = 0;
    std::string_view line;
    Counts c;
    if (!text::nextLine(data, pos, line) || line != kMagic || !text::nextLine(data, pos, line) ||
        field(line, "language").empty()) {
        return nullptr;
    }
    c.language = std::string(field(line, "language"));
    uint64_t words = 0;
    uint64_t pairs = 0;
    const bool header =
        text::nextLine(data, pos, line) && real(field(line, "weight"), c.weight) &&
        text::nextLine(data, pos, line) && real(field(line, "discount"), c.discount) &&
        text::nextLine(data, pos, line) && integer(field(line, "tokens"), c.tokens) &&
        text::nextLine(data, pos, line) && integer(field(line, "words"), words) &&
        text::nextLine(data, pos, line) && integer(field(line, "pairs"), pairs);
    if (!header || c.discount <= 0 || c.discount >= 1 || words > kMaxWords || pairs > kMaxPairs) {
        return nullptr;
    }
    c.words.reserve(words);
    for (uint64_t i = 0; i < words; ++i) {
        std::string_view f[3];
        Word w;
        if (!text::nextLine(data, pos, line) || !fields(line, 3, f) || !integer(f[1], w.count) ||
            !integer(f[2], w.followers) || w.count == 0 || w.followers > w.count ||
            !text::isValidUtf8(f[0])) {
            return nullptr;
        }
        w.word = std::string(f[0]);
        c.words.push_back(std::move(w));
    }
    c.pairs.reserve(pairs);
    for (uint64_t i = 0; i < pairs; ++i) {
        std::string_view f[3];
        uint64_t left = 0;
        uint64_t right = 0;
        Pair p;
        if (!text::nextLine(data, pos, line) || !fields(line, 3, f) || !integer(f[0], left) ||
            !integer(f[1], right) || !integer(f[2], p.count) || left >= words || right >= words ||
            p.count == 0) {
            return nullptr;
        }
        p.left = static_cast<uint32_t>(left);
        p.right = static_cast<uint32_t>(right);
        if (!c.pairs.empty() &&
            std::pair(c.pairs.back().left, c.pairs.back().right) >= std::pair(p.left, p.right)) {
            return nullptr;
        }
        c.pairs.push_back(p);
    }
    if (pos < data.size()) {
        return nullptr;  // trailing lines
    }
    return std::make_unique<const ContextModel>(c);
}

std::string ContextModel::serialize(const Counts& c) {
    std::string out;
    out += kMagic;
    out += "\nlanguage " + c.language;
    out += "\nweight " + formatNumber(c.weight);
    out += "\ndiscount " + formatNumber(c.discount);
    out += "\ntokens " + std::to_string(c.tokens);
    out += "\nwords " + std::to_string(c.words.size());
    out += "\npairs " + std::to_string(c.pairs.size()) + "\n";
    for (const Word& w : c.words) {
        out += w.word + ' ' + std::to_string(w.count) + ' ' + std::to_string(w.followers) + '\n';
    }
    for (const Pair& p : c.pairs) {
        out += std::to_string(p.left) + ' ' + std::to_string(p.right) + ' ' +
               std::to_string(p.count) + '\n';
    }
    return out;
}

ContextModel::ContextModel(const Counts& c)
    : language_(c.language),
      weight_(c.weight),
      discount_(c.discount),
      total_(static_cast<double>(c.tokens + c.words.size())) {
    const std::size_t n = std::min(c.words.size(), kMaxWords);
    counts_.reserve(n);
    followers_.reserve(n);
    std::size_t slots = 16;
    while (slots < 2 * n) {
        slots *= 2;
    }
    slotHashes_.assign(slots, 0);
    slotIds_.assign(slots, 0);
    for (std::size_t i = 0; i < n; ++i) {
        counts_.push_back(saturate32(c.words[i].count));
        followers_.push_back(saturate32(c.words[i].followers));
        const uint64_t h = hash(text::toUtf32(c.words[i].word));
        std::size_t s = h & (slots - 1);
        while (slotHashes_[s] != 0 && slotHashes_[s] != h) {
            s = (s + 1) & (slots - 1);
        }
        if (slotHashes_[s] == 0) {  // the first of two equal spellings wins
            slotHashes_[s] = h;
            slotIds_[s] = static_cast<uint16_t>(i);
        }
    }
    offsets_.assign(n + 1, 0);
    for (const Pair& p : c.pairs) {
        if (p.left < n && p.right < n) {
            ++offsets_[p.left + 1];
            rights_.push_back(static_cast<uint16_t>(p.right));
            pairCounts_.push_back(static_cast<uint16_t>(std::min<uint64_t>(p.count, 65535)));
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        offsets_[i + 1] += offsets_[i];
    }
}

uint64_t ContextModel::hash(std::u32string_view word) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const char32_t c : word) {
        h = (h ^ static_cast<uint64_t>(c == U'\u2019' ? U'\'' : c)) * 1099511628211ull;
    }
    return h | 1;  // never 0, the free slot
}

int32_t ContextModel::id(std::u32string_view word) const {
    const uint64_t h = hash(word);
    const std::size_t mask = slotHashes_.size() - 1;
    for (std::size_t s = h & mask; slotHashes_[s] != 0; s = (s + 1) & mask) {
        if (slotHashes_[s] == h) {
            return slotIds_[s];
        }
    }
    return kNone;
}

uint32_t ContextModel::pair(int32_t left, int32_t right) const {
    const auto begin = rights_.begin() + offsets_[static_cast<std::size_t>(left)];
    const auto end = rights_.begin() + offsets_[static_cast<std::size_t>(left) + 1];
    const auto found = std::lower_bound(begin, end, static_cast<uint16_t>(right));
    return found != end && *found == right
               ? pairCounts_[static_cast<std::size_t>(found - rights_.begin())]
               : 0;
}

double ContextModel::unigram(int32_t id) const {
    const double n = id == kNone ? 0 : counts_[static_cast<std::size_t>(id)];
    return (n + 1) / total_;
}

double ContextModel::logRatio(int32_t a, int32_t b) const {
    if (followers_[static_cast<std::size_t>(a)] == 0) {
        return 0;  // never followed by a word: no evidence either way
    }
    const double na = counts_[static_cast<std::size_t>(a)];
    const double pb = unigram(b);
    const double seen = b == kNone ? 0 : std::max(pair(a, b) - discount_, 0.0);
    const double backoff = discount_ * followers_[static_cast<std::size_t>(a)] / na;
    const double ratio = (seen / na + backoff * pb) / pb;
    if (!(ratio > 0)) {
        return -kMaxLogRatio;
    }
    return std::clamp(std::log(ratio), -kMaxLogRatio, kMaxLogRatio);
}

double ContextModel::logFactor(int32_t left, int32_t candidate, int32_t right) const {
    double sum = 0;
    if (left != kNone) {
        sum += logRatio(left, candidate);
    }
    if (right != kNone && candidate != kNone) {
        sum += logRatio(candidate, right);
    }
    return weight_ * sum;
}

std::size_t ContextModel::memoryBytes() const {
    return (counts_.capacity() + followers_.capacity() + offsets_.capacity()) * sizeof(uint32_t) +
           (rights_.capacity() + pairCounts_.capacity() + slotIds_.capacity()) * sizeof(uint16_t) +
           slotHashes_.capacity() * sizeof(uint64_t);
}

}  // namespace quorix
