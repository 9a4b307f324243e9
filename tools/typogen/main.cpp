// typogen [--inputs DIR] [--out DIR] [--hunspell DIR] [--entries N] [--italian-entries N]
//         [--sources N] [--per-source N] [--exponent X] [--foreign-weight X]
//         [--languages it,en,de,es,fr] [--explain PAIRS.tsv] [--calibration FILE]
//         [--calibration-extra FILE] [--only typos|models|all]
// Writes typos_<lang>.json and keyboard_<lang>.txt (the on-device corrector's
// model, calibrated on generated slips of the even-numbered sentences of
// FILE, "language<TAB>sentence" lines, and of every sentence of the
// --calibration-extra file) for each language from the pinned
// input lists (fetched by scripts/fetch-typogen-inputs.sh) and the system's
// hunspell dictionaries. Equal inputs give byte-identical files. --explain prints, for
// each "typo<TAB>correction" line, whether the first language's shipped map
// holds the pair or which rule keeps it out.

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/knowledge/TypoMap.h"
#include "core/text/Text.h"
#include "language/NuspellSpellChecker.h"
#include "tools/typogen/ContextModelBuilder.h"
#include "tools/typogen/InputLists.h"
#include "tools/typogen/KeepRules.h"
#include "tools/typogen/KeyboardModelBuilder.h"
#include "tools/typogen/NuspellLexicon.h"
#include "tools/typogen/TypoGenerator.h"

namespace {

using namespace quorix::typogen;
namespace fs = std::filesystem;

const std::vector<std::string> kAllLanguages{"it", "en", "de", "es", "fr"};

// Tokens of a rank list at or above this rank count as written on purpose.
constexpr std::size_t kInUseRank = 20000;

int usage() {
    std::cerr << "usage: typogen [--inputs DIR] [--out DIR] [--hunspell DIR] [--entries N]\n"
                 "               [--italian-entries N] [--sources N] [--per-source N]\n"
                 "               [--exponent X] [--foreign-weight X]\n"
                 "               [--languages it,en,de,es,fr] [--explain PAIRS.tsv]\n"
                 "               [--calibration FILE] [--calibration-extra FILE]\n"
                 "               [--only typos|models|all]\n";
    return 2;
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> out;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) {
            out.push_back(item);
        }
    }
    return out;
}

struct Inputs {
    std::vector<LanguageInput> languages;
    std::unordered_set<std::string> inUse;
    // Per language, in list order: tokens written on purpose (frequent list
    // tokens, the most frequent names).
    std::map<std::string, std::vector<std::string>> onPurpose;
};

Inputs readInputs(const fs::path& folder) {
    Inputs inputs;
    for (const std::string& code : kAllLanguages) {
        const fs::path src = zxcvbnFolder(folder, code);
        std::unordered_map<std::string, double> frequency;
        std::vector<std::string> order;
        for (const char* list : {"commonWords", "wikipedia"}) {
            const std::vector<std::string> words =
                readWordArray(src / (std::string(list) + ".json"));
            for (std::size_t i = 0; i < words.size(); ++i) {
                const double f = frequencyOfRank(i + 1);
                auto [it, inserted] = frequency.try_emplace(words[i], f);
                if (inserted) {
                    order.push_back(words[i]);
                } else {
                    it->second = std::max(it->second, f);
                }
                if (i < kInUseRank) {
                    inputs.inUse.insert(quorix::text::toLower(words[i]));
                    inputs.onPurpose[code].push_back(words[i]);
                }
            }
        }
        for (const char* list : {"firstnames", "lastnames"}) {
            const std::vector<std::string> names =
                readWordArray(src / (std::string(list) + ".json"));
            for (std::size_t i = 0; i < names.size(); ++i) {
                inputs.inUse.insert(quorix::text::toLower(names[i]));
                if (i < KeyboardModelBuilder::kNamesPerList) {
                    inputs.onPurpose[code].push_back(names[i]);
                }
            }
        }
        if (code == "en") {
            for (const auto& [word, count] :
                 readWordCounts(folder / "subtlex" / "package" / "index.json")) {
                auto [it, inserted] = frequency.try_emplace(word, count);
                if (inserted) {
                    order.push_back(word);
                } else {
                    it->second = std::max(it->second, count);
                }
                inputs.inUse.insert(quorix::text::toLower(word));
            }
        }
        LanguageInput input{code, {}};
        input.words.reserve(order.size());
        for (const std::string& word : order) {
            input.words.emplace_back(word, frequency[word]);
        }
        inputs.languages.push_back(std::move(input));
    }
    return inputs;
}

// Adds the built-in pairs whose correction belongs to `language` and that
// pass the keep rules; reports the others.
void addBuiltInPairs(TypoGenerator& generator, const std::string& language,
                     std::vector<TypoEntry>& entries) {
    for (const auto& [typo, correction] : quorix::builtInTypoPairs()) {
        const double here = generator.frequency(correction, language);
        double elsewhere = 0;
        for (const std::string& other : kAllLanguages) {
            if (other != language) {
                elsewhere = std::max(elsewhere, generator.frequency(correction, other));
            }
        }
        if (here == 0 || here < elsewhere) {
            continue;  // a pair of another language
        }
        const bool present = std::any_of(entries.begin(), entries.end(),
                                         [&](const TypoEntry& e) { return e.typo == typo; });
        if (present) {
            continue;
        }
        if (const auto reason = generator.rejectPair(typo, language)) {
            std::cerr << "typogen: " << language << ": built-in pair " << typo << " -> "
                      << correction << " left out (" << *reason << ")\n";
            continue;
        }
        entries.push_back({std::string(typo), std::string(correction), here});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const TypoEntry& a, const TypoEntry& b) {
        return a.score != b.score ? a.score > b.score : a.typo < b.typo;
    });
}

// Italian elisions written with the accent dropped after the apostrophe; the
// tokeniser keeps an elision and its word together, so the slip is a token of
// its own. Kept only when no language accepts the slip.
void addElisionPairs(TypoGenerator& generator, std::vector<TypoEntry>& entries) {
    static const std::pair<const char*, const char*> kPairs[] = {{"c'e", "c'è"},
                                                                 {"dov'e", "dov'è"},
                                                                 {"com'e", "com'è"},
                                                                 {"cos'e", "cos'è"},
                                                                 {"quand'e", "quand'è"}};
    for (const auto& [typo, correction] : kPairs) {
        const bool present = std::any_of(entries.begin(), entries.end(),
                                         [&](const TypoEntry& e) { return e.typo == typo; });
        if (std::string_view(typo) == correction || present || generator.validAnywhere(typo)) {
            continue;
        }
        entries.push_back({typo, correction, generator.frequency("è", "it")});
    }
}

// Prints, for each "typo<TAB>correction" line of `file`, what the generator
// decides and whether the shipped map in `folder` holds the pair.
int explainPairs(TypoGenerator& generator, const fs::path& file, const std::string& language,
                 const fs::path& folder) {
    std::ifstream in(file);
    if (!in) {
        std::cerr << "typogen: cannot read " << file.string() << "\n";
        return 1;
    }
    std::ifstream shippedFile(folder / ("typos_" + language + ".json"), std::ios::binary);
    const quorix::TypoMap shipped =
        quorix::parseTypoMap(std::string((std::istreambuf_iterator<char>(shippedFile)), {}))
            .value_or(quorix::TypoMap{});
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) {
            continue;
        }
        const std::string typo = line.substr(0, tab);
        const std::string correction = line.substr(tab + 1);
        const auto found = shipped.find(quorix::text::toLower(typo));
        std::cout << typo << "\t" << correction << "\t"
                  << (found != shipped.end() ? "shipped:" + found->second
                                             : generator.explain(typo, correction, language))
                  << "\n";
    }
    return 0;
}

std::string readWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Context weights tried in calibration (0: no context).
constexpr double kContextWeights[] = {0, 0.25, 0.5, 0.75, 1};

// Times a word outside the lexicon is seen in a language's documentation
// (help pages, handbook) to count as written on purpose (kept). Fortunes
// are left out: old verse and hand-typed jokes hold typos of their own.
constexpr uint64_t kKeptTextCount = 3;

// The context counts of `language` from the running text under `folder`;
// no words when there is none. The lexicon `words` is joined by the words
// outside it that the language's documentation uses at least kKeptTextCount
// times, which `frequent` receives.
quorix::ContextModel::Counts contextCounts(KeyboardModelBuilder& builder, const fs::path& folder,
                                           const std::string& language,
                                           std::vector<std::string>& words,
                                           std::vector<std::string>& frequent) {
    ContextModelBuilder context(words);
    ContextModelBuilder documentation(words);
    for (const auto& [file, markup] : contextSources(folder, language)) {
        const std::string text = readWhole(file);
        if (markup) {
            context.addMarkup(text);
            documentation.addMarkup(text);
        } else {
            context.addText(text);
        }
    }
    const auto documented = documentation.frequentOutsideCounts(kKeptTextCount, 3);
    frequent.clear();
    for (const auto& [word, count] : documented) {
        frequent.push_back(word);
    }
    words = builder.withWordForms(
        builder.withDocumentationWords(words, documented, documentation.tokens(), language),
        language);
    context.addLexiconWords(words);
    return context.counts(language, 0);
}

// Writes keyboard_<lang>.txt and context_<lang>.txt of `language`, calibrated
// (thresholds and context weight) on `calibration`.
bool writeKeyboardModel(KeyboardModelBuilder& builder, const Inputs& inputs,
                        const std::string& language, const std::string& calibration,
                        const std::string& extraCalibration, const fs::path& inputsFolder,
                        const fs::path& outFolder) {
    const auto input = std::find_if(inputs.languages.begin(), inputs.languages.end(),
                                    [&](const LanguageInput& l) { return l.code == language; });
    if (input == inputs.languages.end()) {
        return false;
    }
    std::vector<std::string> words = builder.withWordForms(builder.lexiconWords(*input), language);
    std::vector<std::string> tokens = KeepRules::listedTokens();
    if (const auto found = inputs.onPurpose.find(language); found != inputs.onPurpose.end()) {
        tokens.insert(tokens.end(), found->second.begin(), found->second.end());
    }
    std::vector<std::string> frequent;
    quorix::ContextModel::Counts context =
        contextCounts(builder, inputsFolder, language, words, frequent);
    tokens.insert(tokens.end(), frequent.begin(), frequent.end());
    const std::vector<std::string> keep = builder.keptTokens(tokens);
    std::vector<std::string> sentences = catalogSentences(calibration, language, 0);
    for (std::string& extra : catalogSentences(extraCalibration, language, kAllRows)) {
        sentences.push_back(std::move(extra));
    }
    CalibrationCounts counts;
    quorix::ModelThresholds thresholds;
    for (const double weight : kContextWeights) {
        if (weight != 0 && context.words.empty()) {
            break;
        }
        quorix::ContextModel::Counts weighted = context;
        weighted.weight = weight;
        CalibrationCounts at;
        const quorix::ModelThresholds t = builder.calibrate(
            language, words, keep, sentences, at,
            weight == 0 ? std::string() : quorix::ContextModel::serialize(weighted));
        std::cerr << "typogen: " << language << ": context weight " << weight << ": " << at.fixed
                  << " of " << at.slips << " slips fixed, " << at.wrong << " wrong, "
                  << at.cleanChanged << " clean words changed\n";
        if (weight == 0 || at.fixed > counts.fixed) {
            counts = at;
            thresholds = t;
            context.weight = weight;
        }
    }
    const fs::path contextFile =
        outFolder / quorix::NoisyChannelCorrector::contextFileName(language);
    if (context.words.empty()) {
        fs::remove(contextFile);
    } else {
        std::ofstream out(contextFile, std::ios::binary | std::ios::trunc);
        out << quorix::ContextModel::serialize(context);
        out.close();
        if (!out) {
            std::cerr << "typogen: cannot write " << contextFile.string() << "\n";
            return false;
        }
        std::cerr << "typogen: " << language << ": context model of " << context.words.size()
                  << " words, " << context.pairs.size() << " pairs from " << context.tokens
                  << " words of text; weight " << context.weight << "\n";
    }
    const fs::path file = outFolder / quorix::NoisyChannelCorrector::fileName(language);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << quorix::NoisyChannelModel::serialize(language, thresholds, words, keep);
    out.close();
    if (!out) {
        std::cerr << "typogen: cannot write " << file.string() << "\n";
        return false;
    }
    std::cerr << "typogen: " << language << ": keyboard model of " << words.size() << " words, "
              << keep.size() << " kept tokens; gates (confidence/margin)";
    for (const quorix::ModelGate& g : thresholds.gates) {
        std::cerr << " " << g.minConfidence << "/" << g.minMargin;
    }
    std::cerr << ", outside-mass " << thresholds.outsideMass << " (calibration: " << counts.fixed
              << " of " << counts.slips << " slips fixed, " << counts.wrong << " wrong, "
              << counts.cleanChanged << " clean words changed in " << counts.sentences
              << " sentences)\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path inputsFolder = ".cache/typogen";
    fs::path outFolder = "resources/Dictionaries";
    std::string hunspell = quorix::language::NuspellSpellChecker::kDefaultFolder;
    std::vector<std::string> languages = kAllLanguages;
    GeneratorOptions options;
    fs::path explainFile;
    fs::path calibrationFile = "tests/data/langid/catalog-sentences.tsv";
    fs::path extraCalibrationFile = "tests/data/typos/calibration-sentences.tsv";
    std::string only = "all";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            return usage();
        }
        const std::string value = argv[++i];
        if (arg == "--inputs") {
            inputsFolder = value;
        } else if (arg == "--out") {
            outFolder = value;
        } else if (arg == "--hunspell") {
            hunspell = value;
        } else if (arg == "--entries") {
            options.entries = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--sources") {
            options.sources = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--italian-entries") {
            options.italianEntries = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--per-source") {
            options.perSource = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--exponent") {
            options.frequencyExponent = std::strtod(value.c_str(), nullptr);
        } else if (arg == "--foreign-weight") {
            options.foreignRivalWeight = std::strtod(value.c_str(), nullptr);
        } else if (arg == "--only") {
            only = value;
        } else if (arg == "--calibration") {
            calibrationFile = value;
        } else if (arg == "--calibration-extra") {
            extraCalibrationFile = value;
        } else if (arg == "--explain") {
            explainFile = value;
        } else if (arg == "--languages") {
            languages = splitList(value);
        } else {
            return usage();
        }
    }
    if (options.entries == 0 || options.italianEntries == 0 || options.sources == 0 ||
        options.perSource == 0 || languages.empty()) {
        return usage();
    }

    quorix::language::NuspellSpellChecker spell(hunspell);
    for (const std::string& code : kAllLanguages) {
        if (!spell.hasDictionary(code)) {
            std::cerr << "typogen: no hunspell dictionary for " << code << " in " << hunspell
                      << "\n";
            return 1;
        }
    }
    Inputs inputs;
    try {
        inputs = readInputs(inputsFolder);
    } catch (const InputError& e) {
        std::cerr << "typogen: " << e.what() << "\n";
        return 1;
    }
    NuspellLexicon lexicon(spell);
    TypoGenerator generator(lexicon, inputs.languages, KeepRules(std::move(inputs.inUse)), options);

    if (!explainFile.empty()) {
        return explainPairs(generator, explainFile, languages.front(), outFolder);
    }
    const std::string calibration = readWhole(calibrationFile);
    if (calibration.empty()) {
        std::cerr << "typogen: cannot read " << calibrationFile.string() << "\n";
        return 1;
    }
    const std::string extraCalibration = readWhole(extraCalibrationFile);
    if (extraCalibration.empty()) {
        std::cerr << "typogen: cannot read " << extraCalibrationFile.string() << "\n";
        return 1;
    }
    quorix::language::NuspellSpellChecker modelSpell(hunspell);
    KeyboardModelBuilder builder(lexicon, modelSpell);
    for (const std::string& language : languages) {
        if (only != "typos" && !writeKeyboardModel(builder, inputs, language, calibration,
                                                   extraCalibration, inputsFolder, outFolder)) {
            return 1;
        }
        if (only == "models") {
            continue;
        }
        if (generator.vocabularySize(language) == 0) {
            std::cerr << "typogen: unknown language " << language << "\n";
            return 2;
        }
        std::map<std::string, std::size_t> rejected;
        std::vector<TypoEntry> entries = generator.generate(language, &rejected);
        if (language == "it") {
            addElisionPairs(generator, entries);
        }
        addBuiltInPairs(generator, language, entries);
        const fs::path file = outFolder / ("typos_" + language + ".json");
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        writeDictionary(out, entries);
        out.close();
        if (!out) {
            std::cerr << "typogen: cannot write " << file.string() << "\n";
            return 1;
        }
        std::cerr << "typogen: " << language << ": " << entries.size() << " entries from "
                  << generator.vocabularySize(language) << " words; rejected:";
        for (const auto& [reason, n] : rejected) {
            std::cerr << " " << reason << "=" << n;
        }
        std::cerr << "\n";
    }
    return 0;
}
