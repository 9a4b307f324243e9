#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language/Cld2LanguageRecognizer.h"
#include "language/HybridLanguageRecognizer.h"
#include "language/NuspellSpellChecker.h"

namespace quorix::language {
namespace {

struct Sample {
    const char* language;
    const char* text;
};

// Clear sentences that either recogniser must get right.
const std::vector<Sample> kClearSentences{
    {"en", "I could not find the file that you sent me last night"},
    {"de", "Ich kann die Datei nicht finden, die du mir gestern geschickt hast"},
    {"pt", "Não consigo encontrar o arquivo que você me mandou ontem à noite"},
};

std::string recognise(platform::LanguageRecognizer& recognizer, std::string_view text) {
    recognizer.reset();
    recognizer.processString(text);
    return recognizer.dominantLanguage();
}

NuspellSpellChecker& spellChecker() {
    static NuspellSpellChecker instance;
    return instance;
}

// Empty, wordless or invalid UTF-8 text has no language, whichever recogniser.
TEST(LanguageRecognizers, NoLanguageForEmptyWordlessOrInvalidText) {
    Cld2LanguageRecognizer cld2;
    HybridLanguageRecognizer hybrid(spellChecker());
    for (platform::LanguageRecognizer* recognizer :
         std::initializer_list<platform::LanguageRecognizer*>{&cld2, &hybrid}) {
        EXPECT_EQ(recognise(*recognizer, ""), "");
        EXPECT_EQ(recognise(*recognizer, "12345 ... !!! ??"), "");
        EXPECT_EQ(recognise(*recognizer, std::string("Je ne trouve pas \xff\xfe le fichier", 30)),
                  "");
    }
}

TEST(Cld2LanguageRecognizer, ResetForgetsEarlierTextAndCodesAreIso) {
    Cld2LanguageRecognizer recognizer;
    recognizer.processString(kClearSentences[0].text);
    EXPECT_EQ(recognise(recognizer, kClearSentences[1].text), "de");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("un"), "");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("iw"), "he");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("zh-Hant"), "zh");
}

// Clear sentences and short chat texts in each supported language.
TEST(HybridLanguageRecognizer, RecognisesSentencesAndShortChatTexts) {
    HybridLanguageRecognizer recognizer(spellChecker());
    std::vector<Sample> samples{
        {"it", "non lo so"},        {"en", "I don't know"},   {"de", "bis morgen dann"},
        {"es", "nos vemos mañana"}, {"fr", "je ne sais pas"}, {"pt", "até amanhã então"},
        {"nl", "ik weet het niet"},
    };
    samples.insert(samples.end(), kClearSentences.begin(), kClearSentences.end());
    for (const Sample& sample : samples) {
        EXPECT_EQ(recognise(recognizer, sample.text), sample.language) << sample.text;
    }
    // Text fed in pieces is classified as a whole.
    recognizer.reset();
    recognizer.processString("I could not find");
    recognizer.processString("the file you sent");
    EXPECT_EQ(recognizer.dominantLanguage(),
              recognizer.classify("I could not find\nthe file you sent"));
}

// Portuguese and Dutch share much spelling with Italian; they must not be taken for it.
TEST(HybridLanguageRecognizer, PortugueseAndDutchAreNotTakenForItalian) {
    HybridLanguageRecognizer recognizer(spellChecker());
    for (const char* text : {"Nome da pasta de destino", "Tipo de dados inválido",
                             "De map bestaat niet", "Kan de map niet openen"}) {
        const std::string answer = recognise(recognizer, text);
        EXPECT_NE(answer, "it") << text;
        EXPECT_NE(answer, "") << text;
    }
}

}  // namespace
}  // namespace quorix::language
