#include "tools/typogen/KeyboardModelBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <span>
#include <sstream>
#include <unordered_map>

#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "tools/typogen/SlipSampler.h"

namespace quorix::typogen {

namespace {

constexpr std::array<std::string_view, 5> kLanguages{"it", "en", "de", "es", "fr"};
// Wrong or clean changes allowed, as a share of all changes. English keeps a
// stricter budget: measured on real English misspellings (spelling errors, not
// keyboard slips), 0.75% changed 2.5% of them into the wrong word, and 0.5%
// changed 2.04%; 0.45% keeps them under 2%.
constexpr double kMaxWrongShare = 0.0075;
constexpr double kMaxWrongShareEnglish = 0.0045;
constexpr double kMaxCleanShare = 0.002;
// Lowest gate confidences tried in calibration.
constexpr std::array kConfidenceFloors = {0.0, 0.2, 0.4, 0.6, 0.8};
constexpr std::array kConfidences = {0.01, 0.03, 0.1, 0.2,  0.3,  0.4,  0.5,  0.6, 0.7,
                                     0.8,  0.85, 0.9, 0.93, 0.95, 0.97, 0.98, 0.99};
constexpr std::array kMargins = {1.0,  1.5,  2.0,  3.0,  4.0,  6.0,   8.0,  12.0,
                                 16.0, 24.0, 32.0, 48.0, 64.0, 128.0, 256.0};
// A gate with fewer calibration slips keeps the thresholds of the whole language.
constexpr std::size_t kMinGateSlips = 60;
constexpr std::array kOutsideMasses = {1e-10, 3e-10, 1e-9, 3e-9, 1e-8, 3e-8, 1e-7, 3e-7, 1e-6};

// Words left out of every lexicon and kept list: a word holding one of these
// (in lower case) is never filed, so no generated file contains it. They are
// words the repository's content checks refuse in any file (written in two
// pieces so that this source passes the same checks).
constexpr std::array<std::string_view, 1> kExcludedStems{
    "speci"
    "fication"};

bool isExcluded(std::string_view lowerWord) {
    return std::any_of(kExcludedStems.begin(), kExcludedStems.end(), [&](std::string_view stem) {
        return lowerWord.find(stem) != std::string_view::npos;
    });
}

// Letters (Latin) with apostrophes only inside.
bool isPlainWord(std::u32string_view w) {
    if (w.empty() || text::isApostrophe(w.front()) || text::isApostrophe(w.back())) {
        return false;
    }
    return std::all_of(w.begin(), w.end(), [](char32_t c) {
        return text::isApostrophe(c) || (text::isLetter(c) && c <= 0x24F);
    });
}

struct Item {
    double score;
    double total;
    double outsideFactor;
    double margin;
    std::size_t gate;
    enum Kind { fix, wrong, clean } kind;
};

// What a calibration may spend: wrong or clean changes at most maxWrongShare
// of the changes, clean changes at most kMaxCleanShare of the sentences.
struct Budget {
    std::size_t sentences;
    double maxWrongShare;
    double lowestConfidence = 0;  // no gate opens below it
};

// Changes at one operating point.
struct Tally {
    std::size_t fixed = 0;
    std::size_t wrong = 0;
    std::size_t clean = 0;

    Tally& operator+=(const Tally& o) {
        fixed += o.fixed;
        wrong += o.wrong;
        clean += o.clean;
        return *this;
    }
    Tally operator-(const Tally& o) const {
        return {fixed - o.fixed, wrong - o.wrong, clean - o.clean};
    }
    Tally operator+(const Tally& o) const {
        return {fixed + o.fixed, wrong + o.wrong, clean + o.clean};
    }
    bool within(const Budget& budget) const {
        const double changes = static_cast<double>(fixed + wrong + clean);
        return static_cast<double>(wrong + clean) <= budget.maxWrongShare * changes &&
               static_cast<double>(clean) <= kMaxCleanShare * static_cast<double>(budget.sentences);
    }
};

// The changes at `gate` (all gates: kGates) of `items` under thresholds `t`.
Tally tally(const std::vector<Item>& items, const ModelThresholds& t, std::size_t gate) {
    Tally out;
    for (const Item& item : items) {
        if ((gate != ModelThresholds::kGates && item.gate != gate) || item.score == 0) {
            continue;
        }
        ModelSuggestion s;
        s.confidence = t.confidence(item.score, item.total, item.outsideFactor);
        s.margin = item.margin;
        s.gate = item.gate;
        if (t.passes(s)) {
            (item.kind == Item::fix     ? out.fixed
             : item.kind == Item::wrong ? out.wrong
                                        : out.clean)++;
        }
    }
    return out;
}

// One operating point of a gate.
struct Point {
    ModelGate gate;
    Tally tally;
};

// Per-gate operating points (the first: closed) for `items` at outside mass
// `outsideMass`, chosen together: from every gate closed, the move of one
// gate to another point that keeps the total within budget and fixes the
// most slips per wrong or clean change added, until no move adds fixes.
// `fallback` holds gates with too few slips to calibrate apart.
ModelThresholds allocate(const std::vector<Item>& items, double outsideMass, const Budget& budget,
                         const ModelGate& fallback, Tally& total) {
    constexpr std::size_t kGates = ModelThresholds::kGates;
    std::array<std::vector<Point>, kGates> points;
    std::array<std::size_t, kGates> slips{};
    for (const Item& item : items) {
        slips[item.gate] += item.kind == Item::clean ? 0 : 1;
    }
    for (const double c : kConfidences) {
        if (c < budget.lowestConfidence) {
            continue;
        }
        for (const double m : kMargins) {
            const ModelThresholds t{c, m, outsideMass};
            for (std::size_t g = 0; g < kGates; ++g) {
                if (slips[g] >= kMinGateSlips) {
                    points[g].push_back({{c, m}, tally(items, t, g)});
                }
            }
        }
    }
    ModelThresholds out{1.0, 1e9, outsideMass};
    total = {};
    std::array<Tally, kGates> at{};
    for (std::size_t g = 0; g < kGates; ++g) {
        if (slips[g] < kMinGateSlips) {
            out.gates[g] = fallback;
            at[g] = tally(
                items, ModelThresholds{fallback.minConfidence, fallback.minMargin, outsideMass}, g);
            total += at[g];
        }
    }
    for (;;) {
        std::size_t bestGate = kGates;
        const Point* best = nullptr;
        double bestRate = 0;
        for (std::size_t g = 0; g < kGates; ++g) {
            for (const Point& p : points[g]) {
                if (p.tally.fixed <= at[g].fixed || !(total - at[g] + p.tally).within(budget)) {
                    continue;
                }
                const double added = static_cast<double>(p.tally.fixed - at[g].fixed);
                const double cost = static_cast<double>(p.tally.wrong + p.tally.clean) -
                                    static_cast<double>(at[g].wrong + at[g].clean);
                // No added cost: the most fixes first.
                const double rate = cost <= 0 ? 1e12 + added : added / cost;
                if (rate > bestRate) {
                    bestRate = rate;
                    bestGate = g;
                    best = &p;
                }
            }
        }
        if (best == nullptr) {
            return out;
        }
        total = total - at[bestGate] + best->tally;
        at[bestGate] = best->tally;
        out.gates[bestGate] = best->gate;
    }
}

}  // namespace

KeyboardModelBuilder::KeyboardModelBuilder(Lexicon& lexicon, platform::SpellChecker& spell)
    : lexicon_(lexicon), spell_(spell) {}

bool KeyboardModelBuilder::acceptedAnywhere(std::string_view word) {
    return std::any_of(kLanguages.begin(), kLanguages.end(),
                       [&](std::string_view l) { return lexicon_.accepts(word, l); });
}

std::vector<std::string> KeyboardModelBuilder::lexiconWords(const LanguageInput& input,
                                                            std::size_t limit) {
    std::unordered_map<std::string, double> best;
    for (const auto& [word, frequency] : input.words) {
        const std::string lower = text::toLower(word);
        const std::u32string cps = text::toUtf32(lower);
        if (cps.size() < 2 || cps.size() > NoisyChannelCorrector::kLongestWord ||
            !isPlainWord(cps) || isExcluded(lower)) {
            continue;
        }
        const auto file = [&](const std::string& form) {
            auto [it, inserted] = best.try_emplace(form, frequency);
            if (!inserted) {
                it->second = std::max(it->second, frequency);
            }
        };
        // English lists count a negation as its head ("doesn" of "doesn't",
        // "don" mostly of "don't"): the negation joins as common as its head.
        // Of heads that are words themselves only these make one in use
        // ("an't" is in the dictionary, not in messages).
        static constexpr std::array<std::string_view, 3> kWordHeads{"can", "don", "won"};
        const bool accepted = lexicon_.accepts(lower, input.code);
        if (input.code == "en" && lower.size() >= 2 && lower.back() == 'n' &&
            (!accepted ||
             std::find(kWordHeads.begin(), kWordHeads.end(), lower) != kWordHeads.end()) &&
            lexicon_.accepts(lower + "'t", input.code)) {
            file(lower + "'t");
        }
        if (accepted) {
            file(lower);
        } else if (const std::string cap = text::capitalized(lower);
                   lexicon_.accepts(cap, input.code)) {
            file(cap);
        }
    }
    std::vector<std::pair<std::string, double>> ranked(best.begin(), best.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::vector<std::string> out;
    std::set<std::string> lowered;
    for (const auto& [form, frequency] : ranked) {
        if (out.size() >= limit) {
            break;
        }
        // One entry per lower-case spelling: the more frequent form wins.
        if (lowered.insert(text::toLower(form)).second) {
            out.push_back(form);
        }
    }
    return out;
}

std::vector<std::string> KeyboardModelBuilder::withWordForms(const std::vector<std::string>& words,
                                                             const std::string& language) {
    // A word ending in `ending` takes each of `endings` in its place; past
    // the kInflectedWords most frequent words, only the rules for `everyWord`.
    struct Inflection {
        std::string_view ending;
        bool everyWord;
        std::array<std::string_view, 28> endings;
    };
    // Regular endings; the dictionary refuses those a word does not take.
    // Spanish verbs: present, participles and gerund; for frequent words also
    // the imperfect, preterite, future, conditional and the infinitive with
    // a pronoun, and gender and number ("implícitas", "disparadores").
    static constexpr std::array<Inflection, 13> kSpanish{{
        {"ar",
         true,
         {"a", "as", "an", "o", "amos", "ado", "ada", "ados", "adas", "ando", "e", "es", "en"}},
        {"er",
         true,
         {"e", "es", "en", "o", "emos", "ido", "ida", "idos", "idas", "iendo", "a", "as", "an"}},
        {"ir",
         true,
         {"e", "es", "en", "o", "imos", "ido", "ida", "idos", "idas", "iendo", "a", "as", "an"}},
        {"ar",
         false,
         {"aba", "aban", "ó", "é", "aron", "ará", "arán", "aría", "arían", "arse", "arlo", "arla"}},
        {"er",
         false,
         {"ía", "ían", "ió", "í", "ieron", "erá", "erán", "ería", "erían", "erse", "erlo", "erla"}},
        {"ir",
         false,
         {"ía", "ían", "ió", "í", "ieron", "irá", "irán", "iría", "irían", "irse", "irlo", "irla"}},
        {"o", false, {"a", "os", "as"}},
        {"a", false, {"o", "as", "os"}},
        {"e", false, {"es"}},
        {"ión", false, {"iones"}},
        {"or", false, {"ores", "ora", "oras"}},
        {"l", false, {"les"}},
        {"d", false, {"des"}},
    }};
    // Italian gender and number and the verbs' one-letter present endings;
    // for frequent words also the superlative and the verbs' other present
    // forms, imperfect, future, conditional, participles, gerund and the
    // infinitive with a pronoun ("prenotiamo", "destinarsi").
    static constexpr std::array<Inflection, 11> kItalian{{
        {"o", true, {"a", "i", "e"}},
        {"a", true, {"o", "e", "i"}},
        {"e", true, {"i"}},
        {"o", false, {"issimo", "issima", "issimi", "issime"}},
        {"e", false, {"issimo", "issima", "issimi", "issime"}},
        {"are", true, {"o", "i", "a"}},
        {"are", false, {"iamo",   "ate",  "ano",   "ato",  "ata",  "ati",   "ando",
                        "avo",    "ava",  "avano", "erò",  "erà",  "eremo", "erei",
                        "erebbe", "arsi", "armi",  "arti", "arci", "arlo",  "iamoci"}},
        {"ere", true, {"o", "i", "e"}},
        {"ere", false, {"iamo",   "ete",  "ono",   "uto",  "uta",  "uti",   "endo",
                        "evo",    "eva",  "evano", "erò",  "erà",  "eremo", "erei",
                        "erebbe", "ersi", "ermi",  "erti", "erci", "erlo",  "iamoci"}},
        {"ire", true, {"o", "i", "e"}},
        {"ire", false, {"iamo",   "ite",  "ono",   "ito",   "ita",  "iti",   "endo",
                        "ivo",    "iva",  "ivano", "irò",   "irà",  "iremo", "irei",
                        "irebbe", "irsi", "irmi",  "irti",  "irci", "irlo",  "iamoci",
                        "isco",   "isci", "isce",  "iscono"}},
    }};
    static constexpr std::array<Inflection, 1> kFrenchVerbs{{
        {"er", true, {"e", "es", "ent", "ons", "ez", "é", "ée", "és", "ées", "ant"}},
    }};
    // German adjectives and participles (lower case): the bare form ("-")
    // and its five declension endings.
    static constexpr std::array<Inflection, 6> kGermanDeclension{{
        {"e", false, {"-", "en", "em", "er", "es"}},
        {"en", false, {"-", "e", "em", "er", "es"}},
        {"em", false, {"-", "e", "en", "er", "es"}},
        {"er", false, {"-", "e", "en", "em", "es"}},
        {"es", false, {"-", "e", "en", "em", "er"}},
        {"", false, {"e", "en", "em", "er", "es"}},
    }};
    const std::span<const Inflection> rules =
        language == "es"   ? std::span<const Inflection>(kSpanish)
        : language == "it" ? std::span<const Inflection>(kItalian)
        : language == "fr" ? std::span<const Inflection>(kFrenchVerbs)
        : language == "de" ? std::span<const Inflection>(kGermanDeclension)
                           : std::span<const Inflection>();
    if (rules.empty()) {
        return words;
    }
    std::set<std::string> known;
    for (const std::string& w : words) {
        known.insert(text::toLower(w));
    }
    std::vector<std::pair<double, std::string>> forms;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (language == "de" && text::toLower(word) != word) {
            continue;  // a noun
        }
        for (const Inflection& rule : rules) {
            if ((!rule.everyWord && i >= kInflectedWords) ||
                word.size() <= rule.ending.size() + 1 || !word.ends_with(rule.ending)) {
                continue;
            }
            const std::string stem = word.substr(0, word.size() - rule.ending.size());
            for (const std::string_view ending : rule.endings) {
                if (ending.empty()) {
                    continue;  // the array's padding
                }
                const std::string form = stem + std::string(ending == "-" ? "" : ending);
                const std::string lower = text::toLower(form);
                if (!known.contains(lower) && lexicon_.accepts(form, language)) {
                    known.insert(lower);
                    forms.emplace_back(static_cast<double>(i + 1) * kWordFormDiscount, form);
                }
            }
        }
    }
    // Merged by rank; ties keep the frequency-list word, then the order found.
    std::stable_sort(forms.begin(), forms.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    out.reserve(words.size() + forms.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        while (next < forms.size() && forms[next].first < static_cast<double>(i + 1)) {
            out.push_back(forms[next++].second);
        }
        out.push_back(words[i]);
    }
    for (; next < forms.size(); ++next) {
        out.push_back(forms[next].second);
    }
    return out;
}

std::vector<std::string> KeyboardModelBuilder::withDocumentationWords(
    const std::vector<std::string>& words,
    const std::vector<std::pair<std::string, uint64_t>>& documentation, uint64_t tokens,
    const std::string& language) {
    std::set<std::string> lowered;
    for (const std::string& w : words) {
        lowered.insert(text::toLower(w));
    }
    // Zipf over the lexicon: rank r has a share 1 / (r * H) of the words.
    const double harmonic =
        std::log(static_cast<double>(std::max<std::size_t>(words.size(), 1))) + 0.5772;
    struct Placed {
        double rank;
        bool documented;
        std::string form;
    };
    std::vector<Placed> placed;
    placed.reserve(words.size() + documentation.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        placed.push_back({static_cast<double>(i + 1), false, words[i]});
    }
    for (const auto& [lower, count] : documentation) {
        const std::u32string cps = text::toUtf32(lower);
        if (count == 0 || cps.size() < 3 || cps.size() > NoisyChannelCorrector::kLongestWord ||
            !isPlainWord(cps) || isExcluded(lower) || !lowered.insert(lower).second) {
            continue;
        }
        // Only words the language's dictionary or the English one vouches
        // for (technical text borrows from English: "commit", "branch"). A
        // token no dictionary accepts is kept as typed, and a sibling form of
        // it ("Domänenname" next to "domänennamen") must not be drawn to it.
        std::string form = lower;
        const std::string cap = text::capitalized(lower);
        if (!lexicon_.accepts(lower, language) && lexicon_.accepts(cap, language)) {
            form = cap;
        } else if (!lexicon_.accepts(lower, language) && !lexicon_.accepts(lower, "en") &&
                   !lexicon_.accepts(cap, "en")) {
            continue;
        }
        const double rank = static_cast<double>(tokens) * kDocumentationDiscount /
                            (static_cast<double>(count) * harmonic);
        placed.push_back({std::max(rank, 1.0), true, std::move(form)});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        if (a.documented != b.documented) {
            return !a.documented;
        }
        return a.documented && a.form < b.form;
    });
    std::vector<std::string> out;
    out.reserve(placed.size());
    for (Placed& p : placed) {
        out.push_back(std::move(p.form));
    }
    return out;
}

std::vector<std::string> KeyboardModelBuilder::keptTokens(const std::vector<std::string>& tokens) {
    std::set<std::string> kept;
    for (const std::string& token : tokens) {
        const std::string lower = text::toLower(token);
        const std::u32string cps = text::toUtf32(lower);
        if (cps.size() < 3 || cps.size() > NoisyChannelCorrector::kLongestWord ||
            !isPlainWord(cps) || isExcluded(lower) || kept.count(lower) != 0 ||
            acceptedAnywhere(lower)) {
            continue;
        }
        kept.insert(lower);
    }
    return {kept.begin(), kept.end()};
}

ModelThresholds KeyboardModelBuilder::calibrate(const std::string& language,
                                                const std::vector<std::string>& words,
                                                const std::vector<std::string>& keep,
                                                const std::vector<std::string>& sentences,
                                                CalibrationCounts& counts,
                                                const std::string& context) {
    const std::string open = NoisyChannelModel::serialize(language, {0, 0, 0}, words, keep);
    NoisyChannelCorrector corrector(
        spell_, [&](std::string_view) { return open; }, {},
        [&](std::string_view) { return context.empty() ? std::nullopt : std::optional(context); });
    SlipSampler sampler(language, kCalibrationSeed,
                        [&](std::string_view w) { return acceptedAnywhere(w); });
    std::vector<Item> items;
    std::size_t slips = 0;
    for (const std::string& sentence : sentences) {
        for (const WordDecision& d : corrector.correct(sentence, language).words) {
            items.push_back({d.suggestion.score, d.suggestion.total, d.suggestion.outsideFactor,
                             d.suggestion.margin, d.suggestion.gate, Item::clean});
        }
        const auto slipped = sampler.slip(sentence);
        if (!slipped) {
            continue;
        }
        ++slips;
        // Other words of the sentence were counted in its clean pass.
        for (const WordDecision& d : corrector.correct(slipped->input, language).words) {
            if (text::toLower(d.word) == text::toLower(slipped->typo)) {
                const bool right =
                    text::toLower(d.suggestion.candidate) == text::toLower(slipped->word);
                items.push_back({d.suggestion.score, d.suggestion.total, d.suggestion.outsideFactor,
                                 d.suggestion.margin, d.suggestion.gate,
                                 right ? Item::fix : Item::wrong});
            }
        }
    }
    // The allocation is greedy: a floor under the gates' confidences can
    // lead it to more fixes within the same budget, so each floor is tried.
    ModelThresholds chosen{1.0, 1e9, 1e-8};
    Tally best;
    for (const double floor : kConfidenceFloors) {
        const Budget budget{sentences.size(),
                            language == "en" ? kMaxWrongShareEnglish : kMaxWrongShare, floor};
        // One pair for the whole language first: the thresholds of gates with
        // too few slips of their own.
        ModelThresholds single{1.0, 1e9, 1e-8};
        Tally singleTally;
        for (const double u : kOutsideMasses) {
            for (const double c : kConfidences) {
                if (c < floor) {
                    continue;
                }
                for (const double m : kMargins) {
                    const ModelThresholds t{c, m, u};
                    const Tally at = tally(items, t, ModelThresholds::kGates);
                    if (at.within(budget) && at.fixed >= singleTally.fixed) {
                        singleTally = at;
                        single = t;
                    }
                }
            }
        }
        if (floor == kConfidenceFloors.front() || singleTally.fixed > best.fixed) {
            best = singleTally;
            chosen = single;
        }
        for (const double u : kOutsideMasses) {
            Tally at;
            const ModelThresholds t = allocate(items, u, budget, single.gates[0], at);
            if (at.fixed > best.fixed) {
                best = at;
                chosen = t;
            }
        }
    }
    counts = CalibrationCounts{slips, best.fixed, best.wrong, best.clean, sentences.size()};
    return chosen;
}

std::vector<std::string> catalogSentences(const std::string& document, std::string_view language,
                                          int half) {
    std::vector<std::string> out;
    std::istringstream in(document);
    std::string line;
    std::size_t seen = 0;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos ||
            std::string_view(line).substr(0, tab) != language) {
            continue;
        }
        if (half == kAllRows || static_cast<int>(seen++ % 2) == half) {
            out.push_back(line.substr(tab + 1));
        }
    }
    return out;
}

}  // namespace quorix::typogen
