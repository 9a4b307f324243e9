#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/knowledge/SymmetricDeleteIndex.h"
#include "core/text/Text.h"
#include "tests/core/knowledge/KnowledgeFixtures.h"

namespace quorix {
namespace {

using Edit = KeyboardErrorModel::Edit;

std::u32string u32(const std::string& s) {
    return text::toUtf32(s);
}

TEST(KeyboardErrorModel, ClassifiesEachEditKindOnTheItalianLayout) {
    const KeyboardErrorModel model("it");
    const struct {
        const char* intended;
        const char* typed;
        Edit kind;
    } cases[] = {
        {"ciao", "caio", Edit::transposition},
        {"casa", "csa", Edit::omission},
        {"appuntamento", "apuntamento", Edit::doubledConsonantDropped},
        {"sole", "soole", Edit::doubling},
        {"dopo", "doppo", Edit::consonantDoubled},
        {"telefono", "telefonp", Edit::neighbourSubstitution},
        {"casa", "cama", Edit::otherSubstitution},
        {"biblioteca", "bibliotreca", Edit::neighbourInsertion},
        {"macchina", "macchiana", Edit::otherInsertion},
        {"città", "citta", Edit::accentDropped},
        {"perché", "perchè", Edit::accentSwapped},
    };
    for (const auto& c : cases) {
        Edit kind{};
        ASSERT_TRUE(model.classify(u32(c.intended), u32(c.typed), kind)) << c.typed;
        EXPECT_EQ(kind, c.kind) << c.intended << " -> " << c.typed;
        const double expected =
            std::log(KeyboardErrorModel::kEditRate * KeyboardErrorModel::weight(c.kind));
        EXPECT_NEAR(model.logLikelihood(u32(c.intended), u32(c.typed)), expected, 1e-9) << c.typed;
    }
}

TEST(KeyboardErrorModel, LikelihoodFallsWithEditsFirstLetterAndDistance) {
    const KeyboardErrorModel model("it");
    EXPECT_EQ(model.logLikelihood(U"casa", U"casa"), 0);
    // The same neighbour slip on the first letter is rarer than later.
    EXPECT_LT(model.logLikelihood(U"vasca", U"basca"), model.logLikelihood(U"vasca", U"vasvca"));
    EXPECT_LT(model.logLikelihood(U"telefono", U"telefpnp"),
              model.logLikelihood(U"telefono", U"telefonp"));
    EXPECT_TRUE(std::isinf(model.logLikelihood(U"telefono", U"tlfonp")));
    // Layouts differ: z and t touch on QWERTZ only.
    Edit kind{};
    ASSERT_TRUE(KeyboardErrorModel("de").classify(U"zeit", U"teit", kind));
    EXPECT_EQ(kind, Edit::neighbourSubstitution);
    ASSERT_TRUE(KeyboardErrorModel("en").classify(U"zeit", U"teit", kind));
    EXPECT_EQ(kind, Edit::otherSubstitution);
}

TEST(KeyboardErrorModel, SpelledOutLettersAndAllAccentsDroppedAreOneSlip) {
    const struct {
        const char* language;
        const char* intended;
        const char* typed;
        double weight;  // of the one slip; 0: more than one edit
    } cases[] = {
        {"de", "für", "fuer", 1.0},
        {"de", "gegenüber", "gegenueber", 1.0},
        {"de", "heiß", "heiss", 1.5},
        {"de", "dass", "daß", 0.3},
        {"fr", "spécifiée", "specifiee", 2.0},
        {"it", "città", "citta", 2.0},
        {"it", "gegenüber", "gegenueber", 0},
        {"fr", "spécifiée", "specifiée", 2.0},
        {"de", "problemloser", "problemlöser", 0.05},  // the umlaut's own key
        {"it", "perche", "perchè", 1.0},
    };
    for (const auto& c : cases) {
        const double got =
            KeyboardErrorModel(c.language).logLikelihood(u32(c.intended), u32(c.typed));
        const double one = std::log(KeyboardErrorModel::kEditRate * c.weight);
        if (c.weight == 0) {
            EXPECT_LT(got, std::log(KeyboardErrorModel::kEditRate * 0.05)) << c.typed;
        } else {
            EXPECT_NEAR(got, one, 1e-9) << c.language << " " << c.typed;
        }
    }
}

// Optimal string alignment distance, for checking the index against.
int distance(std::u32string_view a, std::u32string_view b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        for (std::size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = static_cast<int>(i + j);
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

TEST(SymmetricDeleteIndex, FindsEveryWordWithinTheEditBound) {
    const std::vector<std::u32string> words = {
        U"appuntamento", U"appuntamenti",  U"casa",      U"cosa",     U"caso", U"città",
        U"biblioteca",   U"bibliotecario", U"l'ufficio", U"telefono", U"tele", U"a"};
    std::vector<std::u32string_view> views(words.begin(), words.end());
    const SymmetricDeleteIndex index(views);
    const std::vector<std::u32string> typed = {
        U"apputamento", U"appuntamneto", U"aputnamento", U"csa", U"citta", U"cittàà",
        U"bibliotreca", U"l'ufficcio",   U"telefpnp",    U"xyz", U"",      U"bibliotecarioo"};
    std::vector<uint32_t> found;
    for (const auto& t : typed) {
        for (int maxEdits = 0; maxEdits <= 2; ++maxEdits) {
            index.candidates(t, maxEdits, found);
            for (uint32_t id = 0; id < words.size(); ++id) {
                const bool near = distance(words[id], t) <= maxEdits;
                const bool listed = std::binary_search(found.begin(), found.end(), id);
                EXPECT_TRUE(!near || listed)
                    << text::fromUtf32(t) << " misses " << text::fromUtf32(words[id]);
            }
        }
    }
}

// Accepts each word only in the languages listed for it.
class PerLanguageSpell final : public platform::SpellChecker {
  public:
    bool isMisspelled(std::string_view word, std::string_view language) override {
        const auto found = accepted.find(std::string(word));
        return found == accepted.end() || found->second.find(language) == std::string::npos;
    }
    std::map<std::string, std::string> accepted;  // word -> "it en ..."
};

// A small Italian model; the spell checker accepts the lexicon in Italian,
// "tanta" in Italian only (outside the lexicon), "meeting" in English and
// "casas" in Spanish.
struct CorrectorRig {
    explicit CorrectorRig(ModelThresholds thresholds = {0.5, 2.0, 1e-9}) {
        spell = std::make_unique<PerLanguageSpell>();
        for (const std::string& w : words) {
            spell->accepted[w] = "it";
        }
        spell->accepted["tanta"] = "it";
        spell->accepted["meeting"] = "en";
        spell->accepted["casas"] = "es";
        data = NoisyChannelModel::serialize("it", thresholds, words, {"cmq", "mario"});
        corrector = std::make_unique<NoisyChannelCorrector>(
            *spell,
            [this](std::string_view language) -> std::optional<std::string> {
                ++loads;
                return language == "it" ? std::optional(data) : std::nullopt;
            },
            [this](std::string_view w) { return personal.contains(std::string(w)); });
    }
    std::string correct(const std::string& text, bool accents = true) {
        return corrector->correct(text, "it", accents).text.value_or(text);
    }

    std::vector<std::string> words = {"di",       "tanto",        "tanti", "ufficio",
                                      "telefono", "appuntamento", "città", "casa"};
    std::unique_ptr<PerLanguageSpell> spell;
    std::string data;
    std::set<std::string> personal;
    int loads = 0;
    std::unique_ptr<NoisyChannelCorrector> corrector;
};

TEST(NoisyChannelCorrector, CorrectsWordPartsTransferringCaseAndKeepingPunctuation) {
    CorrectorRig rig;
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"ho un apputamento", "ho un appuntamento"},
        {"Apputamento alle 5", "Appuntamento alle 5"},
        {"vado nell'ufficcio", "vado nell'ufficio"},
        {"dell’apputamento, poi", "dell’appuntamento, poi"},
        {"(telefonp)!", "(telefono)!"},
        {"  casa citta\n", "  casa città\n"},
        {"casa. Telefonp!\nApputamento", "casa. Telefono!\nAppuntamento"},
        {"(casa-telefonp)", "(casa-telefono)"},
        {"Apputamento-casa", "Appuntamento-casa"},
        {"telefffono", "telefono"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rig.correct(c.in), c.out) << c.in;
    }
    EXPECT_EQ(rig.correct("citta", /*accents=*/false), "citta");
    EXPECT_EQ(rig.loads, 1);  // loaded once, on the first word that needed it
}

TEST(NoisyChannelCorrector, NeverChangesProtectedOrCodeLikeTokens) {
    CorrectorRig rig;
    rig.personal.insert("apputamento");
    // Personal, kept, valid in another language or outside the lexicon,
    // links, digits, tags, code, a capital inside a sentence (a name),
    // capitals, elongations, no vowel, emoji inside, other or mixed
    // scripts, 40 letters, too short, a short hyphen part.
    // clang-format off
    const std::vector<std::string> texts = {
        "apputamento", "cmq", "mario", "meeting", "casas", "tanta", "http://telefonp.it",
        "www.telefonp.it", "telefonp2", "2telefonp", "#telefonp", "@telefonp", "user_telefonp",
        "telefonp.cpp", "telefonp()", "casa Telefonp", "telefonpTelefonp", "TELEFONP",
        "telefonnnp", "tlfnp", "telefonp😀", "tele😀fonp", "телефонп", "telefonп",
        "telefonpxaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "ab", "telefonp-2", "casa--telefonp",
        "casa-", "telefonp- e", "-telefonp", "telefonp-casa_x", "telefonooo", "telefonnnnp", "telefonppp",
        "telefono-cas"};
    // clang-format on
    for (const std::string& text : texts) {
        const ModelPass pass = rig.corrector->correct(text, "it");
        EXPECT_FALSE(pass.text) << text;
    }
    // Languages outside the five are left alone.
    EXPECT_FALSE(rig.corrector->correct("telefonp", "pt").text);
    // A short hyphen part is an affix or part of a name, though alone a slip.
    EXPECT_EQ(rig.correct("cas"), "casa");
}

// "lufficio" for "l'ufficio" is chat style, not a slip of "ufficio".
TEST(NoisyChannelCorrector, AWordTypedWithoutItsApostropheIsLeftAsTyped) {
    CorrectorRig rig;
    EXPECT_EQ(rig.correct("vado telefonp lufficio"), "vado telefono ufficio");
    rig.spell->accepted["l'ufficio"] = "it";
    EXPECT_EQ(rig.correct("vado telefonp lufficio"), "vado telefono lufficio");
    // Settled like a word of another language: no decision to calibrate on.
    EXPECT_TRUE(rig.corrector->correct("lufficio", "it").words.empty());
}

// A corrector over a model of `language` alone, whose checker accepts `words`
// in that language only.
struct LanguageRig {
    LanguageRig(std::string lang, const std::vector<std::string>& words)
        : language(std::move(lang)),
          data(NoisyChannelModel::serialize(language, {0.5, 2.0, 1e-9}, words, {})),
          corrector(spell, [this](std::string_view l) {
              return l == language ? std::optional(data) : std::nullopt;
          }) {
        for (const std::string& w : words) {
            spell.accepted[w] = language;
        }
    }
    std::string correct(const std::string& text) {
        return corrector.correct(text, language).text.value_or(text);
    }

    PerLanguageSpell spell;
    std::string language;
    std::string data;
    NoisyChannelCorrector corrector;
};

// In English the word of "commit's" is before the apostrophe, and a negation
// is a word of its own; Italian elisions keep their head.
TEST(NoisyChannelCorrector, EnglishCliticsStayAndNegationsAreCorrectedWhole) {
    LanguageRig rig("en", {"the", "can't", "don't", "commit", "files", "user"});
    EXPECT_EQ(rig.correct("the cmmit's files"), "the commit's files");
    EXPECT_EQ(rig.correct("the usre’s files"), "the user’s files");
    EXPECT_EQ(rig.correct("I cqn't, the"), "I can't, the");
    // The typed apostrophe stays, in the text and in the decision.
    EXPECT_EQ(rig.correct("Dpn’t commit"), "Don’t commit");
    EXPECT_EQ(rig.corrector.correct("Dpn’t commit", "en").words.at(0).suggestion.candidate,
              "don’t");
    // Another clitic or none: not an English word part.
    EXPECT_EQ(rig.correct("cmmit'x"), "cmmit'x");
}

// A slipped elided head is read as the head whose word the spell checker
// accepts, when no other head it accepts is nearly as likely.
TEST(NoisyChannelCorrector, ASlippedElidedHeadIsCorrected) {
    LanguageRig rig("it", {"anno", "archivio", "del", "nel"});
    rig.spell.accepted["dell'archivio"] = "it";
    rig.spell.accepted["dell'anno"] = "it";
    rig.spell.accepted["dall'anno"] = "it";
    EXPECT_EQ(rig.correct("del dxell'archivio"), "del dell'archivio");
    EXPECT_EQ(rig.correct("Dxell’archivio del"), "Dell’archivio del");
    EXPECT_EQ(rig.correct("del del'archivio"), "del dell'archivio");
    // "w" is next to both "e" and "a": either head.
    const ModelPass ambiguous = rig.corrector.correct("del dwll'anno", "it");
    EXPECT_FALSE(ambiguous.text);
    ASSERT_EQ(ambiguous.words.size(), 1u);
    EXPECT_EQ(
        ambiguous.words[0].suggestion.candidate + " " + ambiguous.words[0].suggestion.runnerUp,
        "dall'anno dell'anno");
    // No head gives a word the spell checker accepts, or no vowel follows.
    EXPECT_EQ(rig.correct("del dxell'ufficio"), "del dxell'ufficio");
    EXPECT_EQ(rig.correct("del dxell'tavolo"), "del dxell'tavolo");
    LanguageRig fr("fr", {"il", "arrive"});
    fr.spell.accepted["lorsqu'il"] = "fr";
    EXPECT_EQ(fr.correct("lorqsu'il arrive"), "lorsqu'il arrive");
}

// A letter the language does not write marks another language's word, and
// a text holding one as a rejected word is left whole ("não" read as Spanish).
TEST(NoisyChannelCorrector, ALetterTheLanguageDoesNotWriteMarksAForeignText) {
    LanguageRig rig("es", {"no", "otros", "es", "de"});
    EXPECT_EQ(rig.correct("no es de otris"), "no es de otros");
    EXPECT_EQ(rig.correct("não"), "não");
    EXPECT_EQ(rig.correct("otris não"), "otris não");
    EXPECT_EQ(rig.correct("otris não-otris"), "otros não-otris");  // the word is left alone
    rig.spell.accepted["façade"] = "es";  // accepted: no sign of another language
    EXPECT_EQ(rig.correct("otris façade"), "otros façade");
}

// French capitals commonly go without their accents: "Echec" is the
// writer's typography, not a slip of "échec"; other slips still count.
TEST(NoisyChannelCorrector, AFrenchCapitalWithoutItsAccentIsLeftAsTyped) {
    LanguageRig rig("fr", {"échec", "état", "de", "la", "écran"});
    EXPECT_EQ(rig.correct("Echec de la"), "Echec de la");
    EXPECT_TRUE(rig.corrector.correct("Etat", "fr").words.empty());
    EXPECT_EQ(rig.correct("echec de la"), "échec de la");  // lower case: the accent is missing
    EXPECT_EQ(rig.correct("Echrc de la"), "Échec de la");  // a slip besides the accent
    EXPECT_EQ(rig.correct("Ecrqn de la"), "Écran de la");
}

// German makes an agent noun of any verb ("Trenner", "Auszeichner"); one
// that the dictionaries lack is not the verb or its form mistyped. English
// spells the agent nouns in -or with -er ("calculater", "contributers").
TEST(NoisyChannelCorrector, AnAgentNounIsNotTakenForItsVerb) {
    LanguageRig rig("de", {"trennen", "auszeichnet", "der", "die", "werden"});
    EXPECT_EQ(rig.correct("der Trenner"), "der Trenner");
    EXPECT_TRUE(rig.corrector.correct("Auszeichner", "de").words.empty());
    EXPECT_EQ(rig.correct("der Trennrn"), "der Trennen");  // a slip of the verb itself
    EXPECT_EQ(rig.correct("die wetden"), "die werden");

    LanguageRig en("en", {"calculated", "contributes", "the", "and", "contributed"});
    EXPECT_EQ(en.correct("the calculater and"), "the calculater and");
    EXPECT_EQ(en.correct("the contributers and"), "the contributers and");
    EXPECT_EQ(en.correct("the calculatef and"), "the calculated and");
    EXPECT_EQ(en.correct("the contributws and"), "the contributes and");
}

// An umlaut has a key of its own: typed, it is meant.
TEST(NoisyChannelCorrector, AGermanUmlautIsNotTakenOffAlone) {
    LanguageRig rig("de", {"problemloser", "der", "die"});
    EXPECT_EQ(rig.correct("der Problemlöser"), "der Problemlöser");
    EXPECT_EQ(rig.correct("der problemlosre"), "der problemloser");
}

// A word without vowels is an abbreviation ("fsck", "mfg", "nch") unless a
// vowel's neighbouring key was struck for it.
TEST(NoisyChannelCorrector, AWordWithoutVowelsIsOnlyReadAsAVowelStruckAmiss) {
    LanguageRig rig("de", {"kann", "nach", "wenn", "schnell", "der", "die", "fuck", "das", "mag"});
    EXPECT_EQ(rig.correct("der kqnn"), "der kann");
    EXPECT_EQ(rig.correct("Nqch der"), "Nach der");
    EXPECT_EQ(rig.correct("die wdnn"), "die wenn");
    EXPECT_EQ(rig.correct("dqs der"), "das der");
    const std::vector<std::string> kept = {"dr",      // under three letters
                                           "mgg",     // g is not next to a
                                           "kmnn",    // m is not next to a
                                           "schnll",  // a dropped vowel: how abbreviations are made
                                           "fsck"};   // s is not next to u
    for (const std::string& word : kept) {
        EXPECT_FALSE(rig.corrector.correct("der " + word, "de").text) << word;
    }
}

TEST(NoisyChannelCorrector, AnAmbiguousSlipIsReportedButNotChanged) {
    CorrectorRig rig;
    // "tantk": one neighbouring key from "tanto" and from "tanti", whose ranks
    // are next to each other.
    const ModelPass pass = rig.corrector->correct("tantk", "it");
    EXPECT_FALSE(pass.text);
    ASSERT_EQ(pass.words.size(), 1u);
    const ModelSuggestion& s = pass.words[0].suggestion;
    EXPECT_EQ(s.candidate, "tanto");
    EXPECT_EQ(s.runnerUp, "tanti");
    EXPECT_LT(s.margin, 2.0);
    EXPECT_FALSE(pass.words[0].applied);
}

TEST(NoisyChannelCorrector, SpellCheckersOverruleADetectorMisledBySlips) {
    CorrectorRig rig;
    rig.spell->accepted["ho"] = "it";
    rig.spell->accepted["un"] = "it";
    const struct {
        const char* text;
        const char* detected;
        const char* language;  // the model that corrects, "" for none
    } cases[] = {
        // Taken for Portuguese or English, accepted almost whole in Italian.
        {"ho un apputamento", "pt", "it"},
        {"ho un apputamento", "en", "it"},
        {"ho un apputamento", "und", "it"},
        // Too much rejected everywhere: the detector stands.
        {"telefonp apputamento casa", "pt", ""},
        {"telefonp apputamento casa", "en", "en"},
        {"apputamento", "pt", ""},
        // Half accepted overrules a detected language that rejects more,
        // not an undetected one (Portuguese is not Italian with slips).
        {"telefonp apputamento casa ufficio", "en", "it"},
        {"telefonp apputamento casa ufficio", "pt", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rig.corrector->languageOf(c.text, c.detected), c.language)
            << c.text << " / " << c.detected;
    }
    EXPECT_EQ(rig.corrector->correct("ho un apputamento", "pt").text, "ho un appuntamento");
    // Two languages accept as much: neither overrules the detector, save
    // Spanish tied for a text taken for Portuguese or Galician.
    rig.spell->accepted["ho"] = "it es";
    rig.spell->accepted["un"] = "it es";
    EXPECT_EQ(rig.corrector->languageOf("ho un apputamento", "nl"), "");
    EXPECT_FALSE(rig.corrector->correct("ho un apputamento", "nl").text);
    EXPECT_EQ(rig.corrector->languageOf("ho un apputamento", "pt"), "es");
    EXPECT_EQ(rig.corrector->languageOf("ho un apputamento", "gl"), "es");
    rig.spell->accepted["ho"] = "it fr";
    rig.spell->accepted["un"] = "it fr";
    EXPECT_EQ(rig.corrector->languageOf("ho un apputamento", "pt"), "");
}

TEST(NoisyChannelModel, FileRoundTripsAndMalformedFilesAreRefused) {
    ModelThresholds thresholds{0.9, 8, 3e-9};
    thresholds.gates[1] = {0.25, 1.5};
    const std::string data =
        NoisyChannelModel::serialize("de", thresholds, {"und", "Haus"}, {"bzw"});
    const auto model = NoisyChannelModel::parse(data);
    ASSERT_TRUE(model);
    EXPECT_EQ(NoisyChannelModel::serialize(model->language(), model->thresholds(), {"und", "Haus"},
                                           {"bzw"}),
              data);
    EXPECT_EQ(model->suggest(U"huas").candidate, "Haus");  // the accepted form
    EXPECT_TRUE(model->isKept("bzw"));
    const auto swap = [&](const std::string& from, const std::string& to) {
        EXPECT_NE(data.find(from), std::string::npos) << from;
        return text::replaceAll(data, from, to);
    };
    for (const std::string& bad :
         {std::string(""), swap("quorix-keyboard-model 2", "quorix-keyboard-model 1"),
          data.substr(0, data.size() - 5), swap("gate 5 1 0.25 1.5", "gate 5 1 0.25 x"),
          swap("gate 5 1 0.25 1.5", "gate 5 1 0.25"),
          swap("gate 5 1 0.25 1.5", "gate 5 1 0.25 1 2"), swap("gate 5 1", "gate 5 2"),
          swap("gate 5 1 0.25 1.5\n", ""), swap("gate 5 1 0.25", "gate 5 1 -0.25"),
          swap("outside-mass", "outside"), swap("words 2", "words 9")}) {
        EXPECT_FALSE(NoisyChannelModel::parse(bad)) << bad;
    }
}

// Every single and double edit of a few words over letters that reach each
// special move: the likelihood never exceeds the bound the scorer skips by.
TEST(KeyboardErrorModel, LikelihoodNeverExceedsItsBound) {
    const std::u32string letters = U"aeostnbpäüßéèà'";
    for (const char* language : {"it", "en", "de", "fr"}) {
        const KeyboardErrorModel model(language);
        for (const std::u32string word :
             {U"dopo", U"strasse", U"straße", U"für", U"città", U"été"}) {
            std::vector<std::u32string> slips{U"fuer", U"strase", U"citta", U"ete", U"stasre"};
            for (std::size_t at = 0; at <= word.size(); ++at) {
                for (const char32_t c : letters) {
                    std::u32string inserted = word;
                    slips.push_back(inserted.insert(at, 1, c));
                    if (at < word.size()) {
                        std::u32string replaced = word;
                        replaced[at] = c;
                        slips.push_back(replaced);
                        slips.push_back(replaced.erase(std::min(at + 2, replaced.size() - 1), 1));
                    }
                }
            }
            for (const std::u32string& typed : slips) {
                const int d = KeyboardErrorModel::boundedDistance(word, typed, 2);
                const double log = model.logLikelihood(word, typed, 2);
                if (d == 0 || d > 2 || std::isinf(log)) {
                    continue;
                }
                const auto plain = [](std::u32string_view w) {
                    return std::all_of(w.begin(), w.end(), [](char32_t c) { return c < 0x80; });
                };
                const bool both = plain(word) && plain(typed);
                EXPECT_LE(log, model.logLikelihoodBound(d, both, both && word[0] != typed[0]))
                    << language << " " << text::fromUtf32(word) << " " << text::fromUtf32(typed);
            }
        }
    }
}

// Candidates skipped by their bound never change the best two, the margin
// or whether the suggestion is confident, whatever the threshold.
TEST(NoisyChannelModel, SkippingCandidatesNeverChangesTheDecision) {
    std::mt19937 random(5);
    const std::string letters = "aeiorstnlc";
    std::set<std::string> lexicon;
    while (lexicon.size() < 3000) {
        std::string w(4 + random() % 4, 'a');
        for (char& c : w) {
            c = letters[random() % letters.size()];
        }
        lexicon.insert(w);
    }
    std::vector<std::string> words(lexicon.begin(), lexicon.end());
    std::shuffle(words.begin(), words.end(), random);  // ranks unrelated to spelling
    const auto model = NoisyChannelModel::parse(NoisyChannelModel::serialize("it", {}, words, {}));
    ASSERT_TRUE(model);
    for (int i = 0; i < 400; ++i) {
        std::u32string typed = text::toUtf32(words[random() % words.size()]);
        typed[random() % typed.size()] = static_cast<char32_t>(letters[random() % letters.size()]);
        std::swap(typed[1], typed[2]);
        const ModelSuggestion exact = model->suggest(typed, {0, 0, 1e-6});
        // Thresholds just either side of the exact confidence need the mass
        // of nearly every candidate.
        const double c = exact.confidence;
        for (const double confidence : {0.05, 0.6, 0.99, c * 0.999, c * 1.001}) {
            const ModelThresholds t{confidence, 3, 1e-6};
            const ModelSuggestion s = model->suggest(typed, t);
            ASSERT_EQ(s.candidate, exact.candidate);
            ASSERT_EQ(s.runnerUp, exact.runnerUp);
            ASSERT_EQ(s.margin, exact.margin);
            ASSERT_EQ(s.confident, c >= confidence && c > 0 && exact.margin >= 3)
                << text::fromUtf32(typed) << " " << confidence;
            ASSERT_LE(s.total, exact.total * (1 + 1e-12));
        }
    }
}

TEST(NoisyChannelModel, EachSuggestionIsGatedByItsLengthAndEdits) {
    // Gate 1 (five or six letters, one edit) lets everything through, the
    // others nothing.
    ModelThresholds thresholds{1.0, 1e9, 1e-9};
    thresholds.gates[ModelThresholds::gateOf(5, 1)] = {0, 0};
    const auto model = NoisyChannelModel::parse(NoisyChannelModel::serialize(
        "it", thresholds, {"tanto", "telefono", "casa", "tantissimo"}, {}));
    ASSERT_TRUE(model);
    const struct {
        std::u32string typed;
        std::size_t gate;
        int edits;
    } cases[] = {{U"cass", 0, 1},        {U"tanro", 1, 1},    {U"tamro", 2, 2},
                 {U"telefomo", 3, 1},    {U"tekefomo", 4, 2}, {U"tantisimo", 5, 1},
                 {U"tantissimmo", 5, 1}, {U"tamtisimo", 6, 2}};
    for (const auto& c : cases) {
        const ModelSuggestion s = model->suggest(c.typed);
        EXPECT_EQ(s.gate, c.gate) << text::fromUtf32(c.typed);
        EXPECT_EQ(s.edits, c.edits) << text::fromUtf32(c.typed);
        EXPECT_EQ(s.confident, c.gate == 1) << text::fromUtf32(c.typed);
    }
}

}  // namespace
}  // namespace quorix
