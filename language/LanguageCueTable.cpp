#include "language/LanguageCueTable.h"

#include <utility>

namespace quorix::language {

namespace {

using Mask = LanguageCueTable::Mask;

constexpr Mask bit(LanguageCueTable::Language language) {
    return static_cast<Mask>(1u << language);
}

// The most frequent short words of each language, lowercased. A word may
// appear under several languages; it then counts for each of them.
constexpr std::pair<LanguageCueTable::Language, std::string_view> kFunctionWords[] = {
    {
        LanguageCueTable::It,
        "che non di il la lo le gli per sono è e ed un una uno del della dello dei delle degli al "
        "alla "
        "allo ai alle agli nel nella nello nei nelle negli sul sulla sui sulle con da dal dalla "
        "dai "
        "dalle in ma se anche come più perché perche cosa questo questa questi queste quello "
        "quella "
        "ci mi ti si vi ne ho hai ha abbiamo avete hanno sei siamo siete era ero stato stata io tu "
        "lui lei noi voi loro mio mia tuo tua suo sua nostro vostro molto poi già ancora sempre "
        "dove "
        "quando quanto tutto tutti tutte niente nessun nessuna oppure né ecco fare essere avere "
        "l' dell' all' nell' dall' sull' un' c' d' po' qui qua",
    },
    {
        LanguageCueTable::En,
        "the of and to a in is it you that he was for on are with as i his they be at one have "
        "this "
        "from or had by not but what all were we when your can said there use an each which she do "
        "how their if will up other about out many then them these so some her would make like him "
        "into has more two no could been than its who now my over did down only way may should "
        "must cannot can't don't doesn't isn't i'm it's you're we're there's let's just any also "
        "here where why yes please thanks thank our us me new",
    },
    {
        LanguageCueTable::De,
        "der die das und ist nicht ein eine einen einem einer eines zu den von mit sich des auf "
        "für "
        "im dem es an auch als da nach wird bei aus wie noch nur oder aber vor zur bis unter kann "
        "sind wir ich du sie er ihr mein dein sein haben hat habe werden wurde wurden war keine "
        "kein "
        "können konnte muss soll über dieser diese dieses wenn dann schon sehr hier jetzt heute "
        "mehr man was wer warum ob weil doch mal gibt beim vom zum ins am um durch ohne gegen",
    },
    {
        LanguageCueTable::Es,
        "que de no a la el en y los se del las un por con una su para es al lo como más mas pero "
        "sus le ya o este sí si porque esta entre cuando muy sin sobre también me hasta hay donde "
        "quien desde todo nos durante todos uno les ni contra otros ese eso ante ellos e esto mí "
        "antes algunos qué unos yo otro otras otra él tanto esa estos mucho quienes nada muchos "
        "cual poco ella estar estas algunas algo nosotros mi mis tú te ti tu tus ellas vosotros "
        "puede pueden ser son está están fue han ha he hemos tiene tienen hacer "
        "usted ustedes aquí ahora bien así cómo cada",
    },
    {
        LanguageCueTable::Fr,
        "le la les de des du un une et est en à au aux que qui ne pas ce cette ces il elle ils "
        "elles "
        "je tu nous vous on sur dans par pour avec plus ou mais son sa ses leur leurs mon ma mes "
        "ton "
        "ta tes se sont être avoir été a ont fait peut peuvent très aussi comme tout tous toutes "
        "rien bien où quand pourquoi donc car si ni y lui eux moi toi dont même sans sous chez "
        "avant après entre encore déjà ici voici voilà l' d' j' n' qu' "
        "s' c' m' t' jusqu' lorsqu' puisqu' aujourd'hui",
    },
    {
        LanguageCueTable::Pt,
        "que de não a o e do da em um para é com uma os no se na por mais as dos como mas foi ao "
        "ele das tem à seu sua ou ser quando muito há nos já está eu também só pelo pela até isso "
        "ela entre era depois sem mesmo aos ter seus quem nas me esse eles estão você tinha foram "
        "essa num nem suas meu às minha têm numa pelos elas havia seja qual será nós tenho lhe "
        "deles essas esses pelas este fosse dele tu te vocês vos lhes meus minhas teu tua teus "
        "tuas nosso nossa nossos nossas dela delas esta estes estas aquele aquela aqueles aquelas "
        "isto aquilo estou estamos estava pode podem são cada",
    },
    {
        LanguageCueTable::Nl,
        "de het een en van in is dat op te zijn met voor niet die aan er ook als bij om maar of "
        "dan nog wel naar uit kan al zo wordt worden werd hij zij ze we wij ik je jij u hun hem "
        "haar "
        "mijn jouw uw ons onze geen meer moet moeten heeft hebben had heb was waren deze dit wat "
        "wie waar hoe waarom door over tot na zonder tegen toch nu hier daar alle alles iets niets "
        "kunnen zal zullen wil kon",
    },
};

// Letters outside ASCII that point to some languages and not to the others.
constexpr std::pair<char32_t, Mask> kCharacters[] = {
    {U'ñ', bit(LanguageCueTable::Es)},
    {U'¿', bit(LanguageCueTable::Es)},
    {U'¡', bit(LanguageCueTable::Es)},
    {U'ß', bit(LanguageCueTable::De)},
    {U'ä', bit(LanguageCueTable::De)},
    {U'ö', bit(LanguageCueTable::De)},
    {U'ü', bit(LanguageCueTable::De)},
    {U'ã', bit(LanguageCueTable::Pt)},
    {U'õ', bit(LanguageCueTable::Pt)},
    {U'ç', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Pt))},
    {U'à', static_cast<Mask>(bit(LanguageCueTable::It) | bit(LanguageCueTable::Fr) |
                             bit(LanguageCueTable::Pt))},
    {U'è', static_cast<Mask>(bit(LanguageCueTable::It) | bit(LanguageCueTable::Fr))},
    {U'ì', bit(LanguageCueTable::It)},
    {U'ò', bit(LanguageCueTable::It)},
    {U'ù', static_cast<Mask>(bit(LanguageCueTable::It) | bit(LanguageCueTable::Fr))},
    {U'é', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Es) |
                             bit(LanguageCueTable::Pt))},
    {U'á', static_cast<Mask>(bit(LanguageCueTable::Es) | bit(LanguageCueTable::Pt))},
    {U'í', static_cast<Mask>(bit(LanguageCueTable::Es) | bit(LanguageCueTable::Pt))},
    {U'ó', static_cast<Mask>(bit(LanguageCueTable::Es) | bit(LanguageCueTable::Pt))},
    {U'ú', static_cast<Mask>(bit(LanguageCueTable::Es) | bit(LanguageCueTable::Pt))},
    {U'â', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Pt))},
    {U'ê', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Pt))},
    {U'ô', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Pt))},
    {U'î', bit(LanguageCueTable::Fr)},
    {U'û', bit(LanguageCueTable::Fr)},
    {U'ë', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Nl))},
    {U'ï', static_cast<Mask>(bit(LanguageCueTable::Fr) | bit(LanguageCueTable::Nl))},
    {U'œ', bit(LanguageCueTable::Fr)},
};

// Letter groups (ASCII or UTF-8 bytes, at most three).
constexpr std::pair<LanguageCueTable::Language, std::string_view> kGroups[] = {
    {LanguageCueTable::It, "gli zz cch ggi zio gn"},
    {LanguageCueTable::En, "th wh ght sh w k y ee oo"},
    {LanguageCueTable::De, "sch tz ck pf ei ie w k ch"},
    {LanguageCueTable::Es, "ll ie ió y j"},
    {LanguageCueTable::Fr, "eau oi ou aux eux gn ai j y"},
    {LanguageCueTable::Pt, "nh lh ão ões çã ou j"},
    {LanguageCueTable::Nl, "ij aa uu oe ee oo sch cht w k j"},
};

// Word endings (at least two letters shorter than the word).
constexpr std::pair<LanguageCueTable::Language, std::string_view> kEndings[] = {
    {LanguageCueTable::It,
     "zione zioni mento menti ggio ggi ità are ere ire ato ata ati ate ito ita iti "
     "ando endo abile ibile oso osa osi ose ano ono ino ini etto etta ezza"},
    {LanguageCueTable::En,
     "tion tions ing ed ly ness ment ments able ible ous ive ize ized ity ful less "
     "ance ence er ers es"},
    {LanguageCueTable::De,
     "ung ungen keit heit lich lichen ig igen isch ische en ern chen lein tät "
     "schaft bar sch cht"},
    {LanguageCueTable::Es,
     "ción ciones dad dades ado ada ados adas ido ida idos idas ando iendo mente "
     "ible able oso osa ía ían emos amos ar er ir os as es"},
    {LanguageCueTable::Fr,
     "tion tions ment ments eux euse aire ique iques ée ées és er ez ait aient "
     "ons ent eur eurs ité ible able elle oir es"},
    {LanguageCueTable::Pt,
     "ção ções ões ão dade dades ado ada ados adas ido ida idos idas mente "
     "ível ável oso osa ar er ir em am os as es eiro eira eiros eiras ou"},
    {LanguageCueTable::Nl, "heid lijk lijke ing ingen en eren tje tjes baar isch ig ige"},
};

template <typename F>
void forEachWord(std::string_view list, F&& f) {
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find(' ', start);
        const std::string_view word =
            list.substr(start, end == std::string_view::npos ? end : end - start);
        if (!word.empty()) {
            f(word);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

}  // namespace

const LanguageCueTable& LanguageCueTable::instance() {
    static const LanguageCueTable table;
    return table;
}

LanguageCueTable::LanguageCueTable() {
    for (const auto& [language, words] : kFunctionWords) {
        addWords(language, words);
    }
    for (const auto& [c, mask] : kCharacters) {
        characters_[c] = mask;
    }
    for (const auto& [language, groups] : kGroups) {
        forEachWord(groups, [&](std::string_view group) { groups_[group] |= bit(language); });
    }
    for (const auto& [language, endings] : kEndings) {
        forEachWord(endings, [&](std::string_view ending) {
            if (ending.size() >= 2 && ending.size() - 2 < endings_.size()) {
                endings_[ending.size() - 2][std::string(ending)] |= bit(language);
            }
        });
    }
}

void LanguageCueTable::addWords(Language language, std::string_view spaceSeparated) {
    forEachWord(spaceSeparated,
                [&](std::string_view word) { functionWords_[std::string(word)] |= bit(language); });
}

LanguageCueTable::Mask LanguageCueTable::functionWord(std::string_view word) const {
    const auto it = functionWords_.find(std::string(word));
    return it == functionWords_.end() ? Mask{0} : it->second;
}

LanguageCueTable::Mask LanguageCueTable::character(char32_t c) const {
    const auto it = characters_.find(c);
    return it == characters_.end() ? Mask{0} : it->second;
}

LanguageCueTable::Mask LanguageCueTable::ending(std::string_view word) const {
    // The longest known ending wins; the word keeps at least two bytes before it.
    for (std::size_t length = endings_.size() + 1; length >= 2; --length) {
        if (word.size() < length + 2) {
            continue;
        }
        const auto& table = endings_[length - 2];
        const auto it = table.find(std::string(word.substr(word.size() - length)));
        if (it != table.end()) {
            return it->second;
        }
    }
    return 0;
}

}  // namespace quorix::language
