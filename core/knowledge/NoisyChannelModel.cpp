#include "core/knowledge/NoisyChannelModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/knowledge/EditDistanceFilter.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

// P(rank r) = 1 / ((r + kRankOffset) * kZipfNorm): Zipf's law, flattened at
// the top so that the few most frequent words do not swamp every slip.
constexpr double kRankOffset = 10;
constexpr double kZipfNorm = 12;

// "name value" with the expected name; the value, or nullopt.
std::optional<std::string> field(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() + 1 || line.substr(0, name.size()) != name ||
        line[name.size()] != ' ') {
        return std::nullopt;
    }
    return std::string(line.substr(name.size() + 1));
}

std::optional<double> number(const std::optional<std::string>& s) {
    if (!s) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double v = std::strtod(s->c_str(), &end);
    if (end == s->c_str() || *end != '\0' || !std::isfinite(v) || v < 0) {
        return std::nullopt;
    }
    return v;
}

std::string formatNumber(double v) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << v;
    return out.str();
}

}  // namespace

double ModelThresholds::outsideFactor(std::size_t length) {
    return std::pow(kOutsideDecay,
                    static_cast<double>(length) - static_cast<double>(kOutsideLength));
}

ModelThresholds::ModelThresholds(double minConfidence, double minMargin, double outsideMass)
    : outsideMass(outsideMass) {
    gates.fill({minConfidence, minMargin});
}

std::size_t ModelThresholds::gateOf(std::size_t length, int edits) {
    std::size_t gate = 0;
    for (std::size_t g = 0; g < kGates; ++g) {
        if (kGateClasses[g].edits == edits && kGateClasses[g].shortest <= length) {
            gate = g;
        }
    }
    return gate;
}

std::unique_ptr<const NoisyChannelModel> NoisyChannelModel::parse(std::string_view data) {
    std::size_t pos = 0;
    std::string_view line;
    if (!text::nextLine(data, pos, line) || line != kMagic || !text::nextLine(data, pos, line)) {
        return nullptr;
    }
    const auto language = field(line, "language");
    const auto next = [&](std::string_view name) {
        return text::nextLine(data, pos, line) ? number(field(line, name)) : std::nullopt;
    };
    const auto outsideMass = next("outside-mass");
    if (!language || !outsideMass) {
        return nullptr;
    }
    ModelThresholds thresholds;
    thresholds.outsideMass = *outsideMass;
    for (std::size_t g = 0; g < ModelThresholds::kGates; ++g) {
        const auto& c = ModelThresholds::kGateClasses[g];
        const std::string key =
            "gate " + std::to_string(c.shortest) + " " + std::to_string(c.edits);
        const auto values = text::nextLine(data, pos, line) ? field(line, key) : std::nullopt;
        const auto space = values ? values->find(' ') : std::string::npos;
        if (space == std::string::npos) {
            return nullptr;
        }
        const auto confidence = number(values->substr(0, space));
        const auto margin = number(values->substr(space + 1));
        if (!confidence || !margin) {
            return nullptr;
        }
        thresholds.gates[g] = {*confidence, *margin};
    }
    const auto words = next("words");
    const auto keep = next("keep");
    if (!words || !keep || *words > static_cast<double>(SymmetricDeleteIndex::kMaxWords) ||
        *keep > 1e7) {
        return nullptr;
    }
    std::vector<std::string> lexicon;
    std::vector<std::string> kept;
    const auto wordCount = static_cast<std::size_t>(*words);
    const auto keepCount = static_cast<std::size_t>(*keep);
    lexicon.reserve(wordCount);
    for (std::size_t i = 0; i < wordCount + keepCount; ++i) {
        if (!text::nextLine(data, pos, line) || line.empty()) {
            return nullptr;
        }
        (i < wordCount ? lexicon : kept).emplace_back(line);
    }
    return std::make_unique<const NoisyChannelModel>(*language, thresholds, lexicon,
                                                     std::move(kept));
}

std::string NoisyChannelModel::serialize(std::string_view language,
                                         const ModelThresholds& thresholds,
                                         const std::vector<std::string>& words,
                                         const std::vector<std::string>& keep) {
    std::string out;
    out += kMagic;
    out += "\nlanguage " + std::string(language);
    out += "\noutside-mass " + formatNumber(thresholds.outsideMass);
    for (std::size_t g = 0; g < ModelThresholds::kGates; ++g) {
        const auto& c = ModelThresholds::kGateClasses[g];
        out += "\ngate " + std::to_string(c.shortest) + " " + std::to_string(c.edits) + " " +
               formatNumber(thresholds.gates[g].minConfidence) + " " +
               formatNumber(thresholds.gates[g].minMargin);
    }
    out += "\nwords " + std::to_string(words.size());
    out += "\nkeep " + std::to_string(keep.size()) + "\n";
    for (const auto* list : {&words, &keep}) {
        for (const std::string& w : *list) {
            out += w;
            out += '\n';
        }
    }
    return out;
}

NoisyChannelModel::NoisyChannelModel(std::string language, ModelThresholds thresholds,
                                     const std::vector<std::string>& words,
                                     std::vector<std::string> keep)
    : language_(std::move(language)), thresholds_(thresholds), errors_(language_) {
    // The words in UTF-32 only while the index is built.
    std::u32string wide;
    std::vector<uint32_t> wideOffsets{0};
    wideOffsets.reserve(words.size() + 1);
    std::size_t bytes = 0;
    for (const std::string& w : words) {
        bytes += w.size();
    }
    letters_.reserve(bytes);  // lower case is as long, give or take a few letters
    wide.reserve(bytes);
    offsets_.reserve(words.size() + 1);
    offsets_.push_back(0);
    capitalised_.reserve(words.size());
    for (const std::string& w : words) {
        // Most words are plain lower-case ASCII: no case mapping needed.
        const bool plain = std::all_of(w.begin(), w.end(),
                                       [](char c) { return (c >= 'a' && c <= 'z') || c == '\''; });
        if (plain) {
            capitalised_.push_back(false);
            letters_ += w;
            wide.append(w.begin(), w.end());
        } else {
            const std::string lower = text::toLower(w);
            capitalised_.push_back(lower != w);
            const std::u32string letters = text::toUtf32(lower);
            letters_ += text::fromUtf32(letters);
            wide += letters;
        }
        offsets_.push_back(static_cast<uint32_t>(letters_.size()));
        wideOffsets.push_back(static_cast<uint32_t>(wide.size()));
    }
    std::vector<std::u32string_view> views;
    views.reserve(words.size());
    for (std::size_t id = 0; id < words.size(); ++id) {
        views.push_back(std::u32string_view(wide).substr(wideOffsets[id],
                                                         wideOffsets[id + 1] - wideOffsets[id]));
    }
    logPriors_.reserve(words.size());
    for (std::size_t rank = 0; rank < words.size(); ++rank) {
        logPriors_.push_back(-std::log((static_cast<double>(rank) + 1 + kRankOffset) * kZipfNorm));
    }
    index_ = std::make_unique<const SymmetricDeleteIndex>(views);

    std::size_t slots = 16;
    while (slots < 2 * keep.size()) {
        slots *= 2;
    }
    keepSlots_.assign(slots, 0);
    bytes = 0;
    for (const std::string& k : keep) {
        bytes += k.size() + 1;
    }
    keepText_.reserve(bytes);
    for (const std::string& k : keep) {
        if (isKept(k) || k.find('\n') != std::string::npos) {
            continue;
        }
        std::size_t slot = keepHash(k) & (slots - 1);
        while (keepSlots_[slot] != 0) {
            slot = (slot + 1) & (slots - 1);
        }
        keepSlots_[slot] = static_cast<uint32_t>(keepText_.size() + 1);
        keepText_ += k;
        keepText_ += '\n';
    }
}

uint64_t NoisyChannelModel::keepHash(std::string_view token) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const char c : token) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return h ^ (h >> 32);
}

bool NoisyChannelModel::isKept(std::string_view lowerWord) const {
    const std::size_t mask = keepSlots_.size() - 1;
    for (std::size_t slot = keepHash(lowerWord) & mask; keepSlots_[slot] != 0;
         slot = (slot + 1) & mask) {
        const std::size_t at = keepSlots_[slot] - 1;
        if (keepText_.compare(at, lowerWord.size(), lowerWord) == 0 &&
            keepText_[at + lowerWord.size()] == '\n') {
            return true;
        }
    }
    return false;
}

std::u32string_view NoisyChannelModel::word(uint32_t id, std::u32string& buffer) const {
    // The letters were encoded here: well-formed UTF-8.
    const std::string_view s = utf8(id);
    buffer.clear();
    for (std::size_t i = 0; i < s.size();) {
        buffer.push_back(EditDistanceFilter::nextLetter(s, i));
    }
    return buffer;
}

std::string NoisyChannelModel::form(uint32_t id) const {
    const std::string lower(utf8(id));
    return capitalised_[id] ? text::capitalized(lower) : lower;
}

ModelSuggestion NoisyChannelModel::suggest(std::u32string_view typed) const {
    return suggest(typed, thresholds_);
}

bool NoisyChannelModel::contains(std::u32string_view lowerWord) const {
    thread_local std::vector<uint32_t> ids;
    thread_local std::u32string buffer;
    index_->candidates(lowerWord, 0, ids);
    return std::any_of(ids.begin(), ids.end(),
                       [&](uint32_t id) { return word(id, buffer) == lowerWord; });
}

double NoisyChannelModel::logScore(uint32_t id, std::u32string_view candidate,
                                   std::u32string_view typed, int maxEdits) const {
    // Every factor of the score is one term here, so that further evidence
    // (the neighbouring words) adds a term rather than a second scorer.
    const double logLikelihood = errors_.logLikelihood(candidate, typed, maxEdits);
    return logLikelihood + logPriors_[id];
}

void NoisyChannelModel::candidateIds(std::u32string_view typed, int maxEdits,
                                     std::vector<uint32_t>& ids) const {
    ids.clear();
    // Each id once (a near word shares many keys): a bit a word, cleared
    // again whatever happens.
    thread_local std::vector<uint64_t> seen;
    seen.resize(offsets_.size() / 64 + 1);
    struct Clear {
        const std::vector<uint32_t>& ids;
        ~Clear() {
            for (const uint32_t id : ids) {
                seen[id / 64] = 0;
            }
        }
    };
    {
        const Clear clear{ids};
        index_->forEachCandidate(typed, maxEdits, [&](uint32_t id) {
            uint64_t& bits = seen[id / 64];
            const uint64_t bit = uint64_t{1} << (id % 64);
            if ((bits & bit) == 0) {
                __builtin_prefetch(&offsets_[id]);
                ids.push_back(id);
                bits |= bit;
            }
        });
    }
    for (const uint32_t id : ids) {
        __builtin_prefetch(letters_.data() + offsets_[id]);
    }
    // Only the words within the edits (not the typed word itself) are kept,
    // each with its distance above the id: sorted, the nearest come first,
    // each distance in the order of the ids.
    const EditDistanceFilter near(typed);
    std::size_t within = 0;
    for (const uint32_t id : ids) {
        const int distance = near.boundedUtf8(utf8(id), maxEdits);
        if (distance > 0 && distance <= maxEdits) {
            ids[within++] = id | static_cast<uint32_t>(distance) << kDistanceShift;
        }
    }
    ids.resize(within);
    std::sort(ids.begin(), ids.end());
}

std::vector<std::string> NoisyChannelModel::candidates(std::u32string_view typed) const {
    std::vector<uint32_t> ids;
    candidateIds(typed, typed.size() >= kTwoEditLength ? 2 : 1, ids);
    for (uint32_t& id : ids) {
        id &= kIdMask;
    }
    std::sort(ids.begin(), ids.end());
    std::vector<std::string> out;
    for (const uint32_t id : ids) {
        out.push_back(form(id));
    }
    return out;
}

ModelSuggestion NoisyChannelModel::suggest(std::u32string_view typed,
                                           const ModelThresholds& thresholds,
                                           const ContextModel::Neighbours& context) const {
    ModelSuggestion out;
    const int maxEdits = typed.size() >= kTwoEditLength ? 2 : 1;
    thread_local std::vector<uint32_t> ids;
    thread_local std::vector<Deferred> deferred;
    thread_local std::u32string buffer;
    candidateIds(typed, maxEdits, ids);
    deferred.clear();
    Ranking ranking;
    const auto score = [&](uint32_t id) {
        const std::u32string_view candidate = word(id, buffer);
        const double log = logScore(id, candidate, typed, maxEdits);
        if (std::isfinite(log)) {
            ranking.add(id, std::exp(log + context.logFactor(candidate)));
        }
    };
    // Without a confidence threshold (calibration reads every total) every
    // candidate is scored.
    const bool skip =
        !typed.empty() && std::any_of(thresholds.gates.begin(), thresholds.gates.end(),
                                      [](const ModelGate& g) { return g.minConfidence > 0; });
    const double logContextBound = maxLogFactor(context);
    const bool typedPlain =
        std::all_of(typed.begin(), typed.end(), [](char32_t c) { return c < 0x80; });
    double skipped = 0;  // the bounds of the deferred candidates
    for (const uint32_t entry : ids) {
        const uint32_t id = entry & kIdMask;
        if (skip) {
            // A candidate bound to score under the runner-up changes only
            // the total: deferred, in case the confidence needs it.
            const std::string_view w = utf8(id);
            const bool plain = typedPlain && std::all_of(w.begin(), w.end(), [](char c) {
                                   return static_cast<unsigned char>(c) < 0x80;
                               });
            const double logLikelihood = errors_.logLikelihoodBound(
                static_cast<int>(entry >> kDistanceShift), plain,
                plain && static_cast<char32_t>(w.front()) != typed.front());
            // Rounding of the alignment's sum must not undercut the bound.
            const double bound =
                std::exp(logLikelihood + logPriors_[id] + logContextBound) * (1 + 1e-9);
            if (bound < ranking.second) {
                deferred.push_back({bound, id});
                skipped += bound;
                continue;
            }
        }
        score(id);
    }
    if (ranking.best == 0) {
        return out;
    }
    out.outsideFactor = ModelThresholds::outsideFactor(typed.size());
    // The deferred candidates change neither the best nor the runner-up:
    // the gate is known.
    out.edits = KeyboardErrorModel::boundedDistance(word(ranking.bestId, buffer), typed, maxEdits);
    out.gate = ModelThresholds::gateOf(typed.size(), out.edits);
    const double minConfidence = thresholds.gates[out.gate].minConfidence;
    // Whether the confidence is on the same side of the gate's threshold
    // with and without the mass still deferred (at most `rest`).
    const auto settled = [&](double rest) {
        const double high = thresholds.confidence(ranking.best, ranking.total, out.outsideFactor);
        const double low =
            thresholds.confidence(ranking.best, ranking.total + rest, out.outsideFactor);
        return high < minConfidence || low >= minConfidence;
    };
    if (!deferred.empty() && !settled(skipped)) {
        // Likeliest first, until the rest cannot cross the threshold.
        std::sort(deferred.begin(), deferred.end(),
                  [](const Deferred& a, const Deferred& b) { return a.bound > b.bound; });
        thread_local std::vector<double> rest;
        rest.assign(deferred.size() + 1, 0);
        for (std::size_t k = deferred.size(); k-- > 0;) {
            rest[k] = rest[k + 1] + deferred[k].bound;
        }
        for (std::size_t k = 0; k < deferred.size() && !settled(rest[k]); ++k) {
            score(deferred[k].id);
        }
    }
    out.candidate = form(ranking.bestId);
    out.score = ranking.best;
    out.total = ranking.total;
    out.confidence = thresholds.confidence(ranking.best, ranking.total, out.outsideFactor);
    if (ranking.second > 0) {
        out.runnerUp = form(ranking.secondId);
        out.runnerUpConfidence =
            thresholds.confidence(ranking.second, ranking.total, out.outsideFactor);
        out.margin = ranking.best / ranking.second;
    } else {
        out.margin = 1e9;
    }
    out.confident = thresholds.passes(out);
    return out;
}

void NoisyChannelModel::Ranking::add(uint32_t id, double score) {
    total += score;
    // Ties go to the more frequent word (the lower id).
    if (score > best || (score == best && id < bestId)) {
        second = best;
        secondId = bestId;
        best = score;
        bestId = id;
    } else if (score > second || (score == second && id < secondId)) {
        second = score;
        secondId = id;
    }
}

double NoisyChannelModel::maxLogFactor(const ContextModel::Neighbours& context) {
    if (context.model == nullptr) {
        return 0;
    }
    // Each known neighbour's log ratio is clipped to kMaxLogRatio.
    const int known = (context.left != ContextModel::kNone ? 1 : 0) +
                      (context.right != ContextModel::kNone ? 1 : 0);
    return std::abs(context.model->weight()) * ContextModel::kMaxLogRatio * known;
}

std::size_t NoisyChannelModel::memoryBytes() const {
    return letters_.capacity() + offsets_.capacity() * sizeof(uint32_t) +
           capitalised_.capacity() / 8 + logPriors_.capacity() * sizeof(float) +
           keepText_.capacity() + keepSlots_.capacity() * sizeof(uint32_t) + index_->memoryBytes();
}

}  // namespace quorix
