#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/Cld2LanguageRecognizer.h"
#include "platform/linux/HybridLanguageRecognizer.h"
#include "platform/linux/NuspellSpellChecker.h"

namespace quorix::platform {
namespace {

struct Sample {
    const char* language;
    const char* text;
};

// Clear sentences that either recogniser must get right.
const std::vector<Sample> kClearSentences{
    {"it", "Non riesco a trovare il file che mi hai mandato ieri sera"},
    {"en", "I could not find the file that you sent me last night"},
    {"de", "Ich kann die Datei nicht finden, die du mir gestern geschickt hast"},
    {"es", "No puedo encontrar el archivo que me enviaste anoche por correo"},
    {"fr", "Je ne trouve pas le fichier que tu m'as envoyé hier soir"},
    {"pt", "Não consigo encontrar o arquivo que você me mandou ontem à noite"},
    {"nl", "Ik kan het bestand dat je me gisteravond hebt gestuurd niet vinden"},
};

std::string recognise(LanguageRecognizer& recognizer, std::string_view text) {
    recognizer.reset();
    recognizer.processString(text);
    return recognizer.dominantLanguage();
}

NuspellSpellChecker& spellChecker() {
    static NuspellSpellChecker instance;
    return instance;
}

TEST(Cld2LanguageRecognizer, RecognisesClearSentences) {
    Cld2LanguageRecognizer recognizer;
    for (const Sample& sample : kClearSentences) {
        EXPECT_EQ(recognise(recognizer, sample.text), sample.language) << sample.text;
    }
}

TEST(Cld2LanguageRecognizer, NoLanguageForEmptyGibberishOrInvalidText) {
    Cld2LanguageRecognizer recognizer;
    EXPECT_EQ(recognise(recognizer, ""), "");
    EXPECT_EQ(recognise(recognizer, "12345 67890 !!!"), "");
    EXPECT_EQ(recognise(recognizer, std::string("Je ne trouve pas \xff\xfe le fichier", 30)), "");
}

TEST(Cld2LanguageRecognizer, ResetForgetsEarlierText) {
    Cld2LanguageRecognizer recognizer;
    recognizer.processString(kClearSentences[1].text);
    recognizer.reset();
    recognizer.processString(kClearSentences[2].text);
    EXPECT_EQ(recognizer.dominantLanguage(), "de");
}

TEST(Cld2LanguageRecognizer, IsoCodes) {
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("un"), "");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("iw"), "he");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("zh-Hant"), "zh");
    EXPECT_EQ(Cld2LanguageRecognizer::isoCode("pt"), "pt");
}

TEST(HybridLanguageRecognizer, RecognisesClearSentences) {
    HybridLanguageRecognizer recognizer(spellChecker());
    for (const Sample& sample : kClearSentences) {
        EXPECT_EQ(recognise(recognizer, sample.text), sample.language) << sample.text;
    }
}

TEST(HybridLanguageRecognizer, RecognisesShortChatTexts) {
    HybridLanguageRecognizer recognizer(spellChecker());
    const std::vector<Sample> shortTexts{
        {"it", "ci vediamo domani"}, {"it", "non lo so"},        {"en", "see you tomorrow"},
        {"en", "I don't know"},      {"de", "bis morgen dann"},  {"de", "ich weiß nicht"},
        {"es", "nos vemos mañana"},  {"es", "no lo sé"},         {"fr", "à demain alors"},
        {"fr", "je ne sais pas"},    {"pt", "não sei não"},      {"pt", "até amanhã então"},
        {"nl", "tot morgen dan"},    {"nl", "ik weet het niet"},
    };
    for (const Sample& sample : shortTexts) {
        EXPECT_EQ(recognise(recognizer, sample.text), sample.language) << sample.text;
    }
}

TEST(HybridLanguageRecognizer, PortugueseAndDutchAreNotTakenForItalian) {
    HybridLanguageRecognizer recognizer(spellChecker());
    for (const char* text :
         {"Nome da pasta de destino", "o arquivo não existe", "Tipo de dados inválido",
          "De map bestaat niet", "het bestand is leeg", "Kan de map niet openen"}) {
        const std::string answer = recognise(recognizer, text);
        EXPECT_NE(answer, "it") << text;
        EXPECT_NE(answer, "") << text;
    }
}

TEST(HybridLanguageRecognizer, NoLanguageForEmptyPunctuationOrInvalidText) {
    HybridLanguageRecognizer recognizer(spellChecker());
    EXPECT_EQ(recognise(recognizer, ""), "");
    EXPECT_EQ(recognise(recognizer, " ... !!! ?? "), "");
    EXPECT_EQ(recognise(recognizer, std::string("ciao \xff come stai", 16)), "");
}

TEST(HybridLanguageRecognizer, ClassifyMatchesTheRecognizerProtocol) {
    HybridLanguageRecognizer recognizer(spellChecker());
    recognizer.processString("I could not find");
    recognizer.processString("the file you sent");
    EXPECT_EQ(recognizer.dominantLanguage(),
              recognizer.classify("I could not find\nthe file you sent"));
}

}  // namespace
}  // namespace quorix::platform
