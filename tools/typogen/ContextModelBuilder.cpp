#include "tools/typogen/ContextModelBuilder.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/text/Text.h"

namespace quorix::typogen {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kBreak = -1;

// Mallard and HTML elements whose text is left out, and those that run
// inside a sentence (every other tag ends the sentence).
const std::set<std::string, std::less<>> kSkipped = {"info",   "code",   "screen",  "cmd",
                                                     "media",  "credit", "license", "pre",
                                                     "script", "style",  "head"};
const std::set<std::string, std::less<>> kInline = {
    "gui", "guiseq", "link",  "em",     "key",  "keyseq",  "app",     "sys",     "file",
    "var", "span",   "input", "output", "hi",   "date",    "name",    "years",   "email",
    "a",   "strong", "b",     "i",      "abbr", "acronym", "if:when", "if:else", "if:choose"};

// Entities that stand inside words or between them; any other ends the
// sentence like a symbol.
const std::pair<std::string_view, std::string_view> kEntities[] = {
    {"&nbsp;", " "},       {"&#160;", " "}, {"&rsquo;", "\u2019"},
    {"&#8217;", "\u2019"}, {"&#39;", "'"},  {"&apos;", "'"}};

}  // namespace

ContextModelBuilder::ContextModelBuilder(const std::vector<std::string>& lexicon) {
    for (const std::string& w : lexicon) {
        lexicon_.insert(text::toLower(w));
    }
}

uint32_t ContextModelBuilder::intern(const std::string& word) {
    const auto [it, inserted] = ids_.try_emplace(word, static_cast<uint32_t>(spellings_.size()));
    if (inserted) {
        spellings_.push_back(word);
        counts_.push_back(0);
    }
    return it->second;
}

void ContextModelBuilder::word(const std::string& lower, int32_t& previous) {
    const auto id = static_cast<int32_t>(intern(lower));
    ++tokens_;
    ++counts_[static_cast<std::size_t>(id)];
    if (previous != kBreak) {
        ++pairs_[(static_cast<uint64_t>(previous) << 32) | static_cast<uint32_t>(id)];
    }
    previous = id;
}

void ContextModelBuilder::addText(std::string_view utf8) {
    const std::u32string all = text::toUtf32(text::sanitizeUtf8(utf8));
    int32_t previous = kBreak;
    std::size_t pos = 0;
    while (pos < all.size()) {
        const char32_t c = all[pos];
        if (text::isWhiteSpace(c)) {
            ++pos;
            continue;
        }
        if (!text::isLetter(c)) {
            previous = kBreak;
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < all.size() && (text::isLetter(all[end]) || text::isApostrophe(all[end]))) {
            ++end;
        }
        std::size_t stop = end;
        while (text::isApostrophe(all[stop - 1])) {
            --stop;  // a closing quote or "po'": ends the sentence
        }
        std::u32string token(all.substr(pos, stop - pos));
        std::replace(token.begin(), token.end(), U'\u2019', U'\'');
        const std::string lower = text::toLower(text::fromUtf32(token));
        const std::size_t apostrophe = token.find(U'\'');
        if (apostrophe != std::u32string::npos && token.find(U'\'', apostrophe + 1) == token.npos &&
            apostrophe < kLongestHead && lexicon_.count(lower) == 0) {
            const std::u32string lowered = text::toUtf32(lower);
            word(text::fromUtf32(lowered.substr(0, apostrophe + 1)), previous);
            word(text::fromUtf32(lowered.substr(apostrophe + 1)), previous);
        } else {
            word(lower, previous);
        }
        if (stop != end) {
            previous = kBreak;
        }
        pos = end;
    }
}

void ContextModelBuilder::addMarkup(std::string_view xml) {
    std::string out;
    std::size_t pos = 0;
    std::string skipping;  // the element being left out
    int depth = 0;
    while (pos < xml.size()) {
        const std::size_t open = xml.find('<', pos);
        if (skipping.empty()) {
            out += xml.substr(pos, open == std::string_view::npos ? open : open - pos);
        }
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = xml.find('>', open);
        if (close == std::string_view::npos) {
            break;
        }
        std::string_view tag = xml.substr(open + 1, close - open - 1);
        pos = close + 1;
        const bool closing = !tag.empty() && tag.front() == '/';
        const bool empty = !tag.empty() && tag.back() == '/';
        tag.remove_prefix(closing ? 1 : 0);
        const std::string name(tag.substr(0, tag.find_first_of(" \t\n/")));
        if (!skipping.empty()) {
            if (name == skipping && !empty) {
                depth += closing ? -1 : 1;
                if (depth == 0) {
                    skipping.clear();
                }
            }
            continue;
        }
        if (!closing && !empty && kSkipped.count(name) != 0) {
            skipping = name;
            depth = 1;
        } else if (kInline.count(name) == 0) {
            out += " . ";
        }
    }
    for (const auto& [entity, replacement] : kEntities) {
        out = text::replaceAll(out, entity, replacement);
    }
    addText(out);
}

std::vector<std::string> ContextModelBuilder::frequentOutsideWords(uint64_t minCount,
                                                                   std::size_t minLetters) const {
    std::vector<std::string> out;
    for (auto& [w, count] : frequentOutsideCounts(minCount, minLetters)) {
        out.push_back(std::move(w));
    }
    return out;
}

std::vector<std::pair<std::string, uint64_t>> ContextModelBuilder::frequentOutsideCounts(
    uint64_t minCount, std::size_t minLetters) const {
    std::vector<std::pair<std::string, uint64_t>> out;
    for (uint32_t id = 0; id < spellings_.size(); ++id) {
        const std::string& w = spellings_[id];
        if (counts_[id] >= minCount && lexicon_.count(w) == 0 &&
            w.find('\'') == std::string::npos && text::characterCount(w) >= minLetters) {
            out.emplace_back(w, counts_[id]);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

void ContextModelBuilder::addLexiconWords(const std::vector<std::string>& words) {
    for (const std::string& w : words) {
        lexicon_.insert(text::toLower(w));
    }
}

ContextModel::Counts ContextModelBuilder::counts(const std::string& language, double weight) const {
    std::vector<uint32_t> kept;
    for (uint32_t id = 0; id < spellings_.size(); ++id) {
        const std::string& w = spellings_[id];
        const bool head = w.back() == '\'' && text::characterCount(w) <= kLongestHead &&
                          counts_[id] >= kMinHeadCount;
        if (head || lexicon_.count(w) != 0) {
            kept.push_back(id);
        }
    }
    std::sort(kept.begin(), kept.end(), [&](uint32_t a, uint32_t b) {
        return counts_[a] != counts_[b] ? counts_[a] > counts_[b] : spellings_[a] < spellings_[b];
    });
    kept.resize(std::min(kept.size(), ContextModel::kMaxWords));
    std::unordered_map<uint32_t, uint32_t> rank;
    for (uint32_t r = 0; r < kept.size(); ++r) {
        rank.emplace(kept[r], r);
    }
    ContextModel::Counts out;
    out.language = language;
    out.weight = weight;
    out.tokens = tokens_;
    for (const uint32_t id : kept) {
        out.words.push_back({spellings_[id], counts_[id], 0});
    }
    for (const auto& [key, n] : pairs_) {
        const auto left = rank.find(static_cast<uint32_t>(key >> 32));
        const auto right = rank.find(static_cast<uint32_t>(key));
        if (left == rank.end() || right == rank.end()) {
            continue;
        }
        ++out.words[left->second].followers;
        if (n >= kMinPairCount) {
            out.pairs.push_back({left->second, right->second, n});
        }
    }
    std::sort(out.pairs.begin(), out.pairs.end(), [](const auto& a, const auto& b) {
        return std::pair(a.left, a.right) < std::pair(b.left, b.right);
    });
    return out;
}

std::vector<std::pair<fs::path, bool>> contextSources(const fs::path& inputs,
                                                      std::string_view language) {
    static const std::map<std::string, std::pair<std::string, std::string>, std::less<>> kFolders =
        {{"it", {"it", "fortunes-it/usr/share/games/fortunes/it"}},
         {"en", {"C", "fortunes/usr/share/games/fortunes"}},
         {"de", {"de", "fortunes-de/usr/share/games/fortunes/de"}},
         {"es", {"es", "fortunes-es/usr/share/games/fortunes/es"}},
         {"fr", {"fr", ""}}};
    static const std::map<std::string, std::string, std::less<>> kHandbook = {
        {"it", "it-IT"}, {"en", "en-US"}, {"de", "de-DE"}, {"es", "es-ES"}, {"fr", "fr-FR"}};
    std::vector<std::pair<fs::path, bool>> out;
    const auto found = kFolders.find(language);
    if (found == kFolders.end()) {
        return out;
    }
    std::error_code error;
    const fs::path help = inputs / "gnome-user-docs/usr/share/help" / found->second.first;
    for (fs::recursive_directory_iterator it(help, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && it->path().extension() == ".page") {
            out.emplace_back(it->path(), true);
        }
    }
    const fs::path book =
        inputs / "debian-handbook/usr/share/doc/debian-handbook/html" / kHandbook.at(found->first);
    for (fs::directory_iterator it(book, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file() && it->path().extension() == ".html") {
            out.emplace_back(it->path(), true);
        }
    }
    if (!found->second.second.empty()) {
        const fs::path fortunes = inputs / found->second.second;
        for (fs::directory_iterator it(fortunes, error), end; !error && it != end;
             it.increment(error)) {
            const fs::path& p = it->path();
            fs::path utf8 = p;
            utf8 += ".u8";
            // Regular files only (the symbolic links repeat them); the UTF-8
            // copy of a file when there is one.
            if (!it->is_symlink() && it->is_regular_file() && p.extension() != ".dat" &&
                !(fs::is_regular_file(fs::symlink_status(utf8)))) {
                out.emplace_back(p, false);
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace quorix::typogen
