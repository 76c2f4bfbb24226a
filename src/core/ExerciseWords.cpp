#include "ExerciseWords.h"

// Within a group the words share their first two letters, so only a careful look tells them apart. Every
// group after the first holds four or five pairs of words one or two letters apart (insect/insert,
// quality/qualify), so the three words drawn from any group are about as hard to tell apart as from any
// other and the score does not hang on which group comes up. They are everyday words, except the x words,
// which the language has few of; each has 5 to 12 letters and fits a side label of the narrowest window in
// the largest exercise font.
const std::array<TExerciseGroup, kExerciseGroupCount> ExerciseWords = {{
    {"zymogram", "zymosan", "zymase", "zygospore", "zygosity", "zygomatic", "zygomas", "zygodactyl",
     "zoonotic", "zoophilic"},
    {"yearly", "yearning", "yearns", "yeast", "yelled", "yelling", "yellow", "yelped", "yelping",
     "yesterday"},
    {"xylan", "xylem", "xylene", "xylitol", "xylocarp", "xylograph", "xyloid", "xylophone", "xylose",
     "xylotomy"},
    {"waiter", "wander", "warden", "wardrobe", "warfare", "warmth", "warned", "warrior", "washing", "water"},
    {"vendor", "venture", "venue", "verbal", "verdict", "verge", "verse", "version", "vertical", "vessel"},
    {"unable", "united", "unity", "unkind", "unless", "unlike", "unlikely", "unload", "unlock", "unwind"},
    {"tractor", "traffic", "tragedy", "trailer", "trainee", "traitor", "trample", "tranquil", "transfer",
     "traveler"},
    {"stable", "stadium", "stagger", "stairway", "stammer", "standard", "staple", "station", "statue",
     "status"},
    {"recall", "receipt", "receive", "recent", "reception", "recess", "recipe", "recital", "reclaim",
     "record"},
    {"qualify", "quality", "quantity", "quarrel", "quarter", "question", "quickly", "quietly", "quotation",
     "quoted"},
    {"probable", "problem", "proceed", "process", "produce", "product", "profile", "program", "progress",
     "promise"},
    {"overall", "overcome", "overdue", "overhead", "overheard", "overlap", "overload", "overlook", "overtime",
     "overturn"},
    {"napkin", "narrow", "nasal", "nasty", "nation", "native", "natural", "nature", "nautical", "navigate"},
    {"manage", "manager", "manner", "mansion", "manual", "margin", "market", "marriage", "master", "matter"},
    {"label", "labor", "ladder", "landing", "language", "lately", "latter", "laughter", "launch", "lawyer"},
    {"kicked", "kicking", "kidding", "kidney", "killer", "kindness", "kissed", "kissing", "kitchen",
     "kitten"},
    {"judging", "judgment", "juggle", "jumble", "jumped", "jumper", "jungle", "junior", "justice", "justify"},
    {"income", "injury", "insect", "insert", "inside", "insight", "install", "instant", "invent", "invite"},
    {"harden", "harder", "hardly", "hardship", "hardware", "harmful", "harmless", "harmony", "harness",
     "harvest"},
    {"graceful", "gradual", "graduate", "grammar", "granite", "granted", "graphic", "grateful", "gratitude",
     "gravity"},
    {"flame", "flash", "flatter", "flavor", "flight", "flood", "floor", "flower", "fluent", "flutter"},
    {"exact", "example", "exceed", "except", "exchange", "exercise", "expand", "explain", "extend", "extent"},
    {"decade", "deceive", "decent", "decide", "decimal", "decision", "declare", "decode", "decorate",
     "decrease"},
    {"concern", "concert", "conduct", "confirm", "consider", "consult", "content", "contest", "contract",
     "control"},
    {"bread", "break", "breath", "breathe", "bride", "bridge", "bright", "broken", "brother", "brush"},
    {"accept", "access", "account", "accuse", "achieve", "acquire", "across", "action", "active", "actual"},
}};

QString exerciseWord(int group, int word)
{
    if (group < 1 || group > kExerciseGroupCount || word < 1 || word > kExerciseGroupSize)
        return {};
    const std::string_view w =
        ExerciseWords[static_cast<std::size_t>(group - 1)][static_cast<std::size_t>(word - 1)];
    return QString::fromLatin1(w.data(), static_cast<qsizetype>(w.size()));
}
