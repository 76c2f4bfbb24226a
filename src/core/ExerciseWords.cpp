#include "ExerciseWords.h"

// Within a group the words share their first two or three letters, so only a careful look tells them
// apart; each is a dictionary word of 5 to 12 letters.
const std::array<TExerciseGroup, kExerciseGroupCount> ExerciseWords = {{
    {"zymogram", "zymosan", "zymase", "zygospore", "zygosity", "zygomatic", "zygomas", "zygodactyl",
     "zoonotic", "zoophilic"},
    {"yearbook", "yearling", "yearly", "yearning", "yeasty", "yellowed", "yellowish", "yeoman", "yesterday",
     "yesteryear"},
    {"xylem", "xylene", "xylitol", "xylophone", "xylophonist", "xylograph", "xylography", "xylocarp",
     "xyloid", "xylotomy"},
    {"warbler", "warden", "wardrobe", "warehouse", "warfare", "warhead", "warlike", "warmth", "warrant",
     "warrior"},
    {"vendetta", "vendor", "veneer", "venerable", "venerate", "vengeance", "venison", "venomous", "ventilate",
     "venture"},
    {"underarm", "undercut", "underdog", "undergo", "underline", "undermine", "underpass", "understand",
     "undertake", "underwater"},
    {"traffic", "tragedy", "trailer", "trainee", "traitor", "trample", "tranquil", "transfer", "trapeze",
     "traveler"},
    {"stable", "stadium", "stagger", "stagnant", "stairway", "stalwart", "stamina", "stampede", "standard",
     "stanza"},
    {"recall", "receipt", "receive", "recent", "reception", "recess", "recipe", "recital", "reckless",
     "reclaim"},
    {"quaint", "qualify", "quality", "quandary", "quantity", "quarrel", "quarry", "quarter", "quartet",
     "quaver"},
    {"probable", "problem", "procedure", "proceed", "process", "proclaim", "produce", "profess", "profile",
     "program"},
    {"obedient", "obelisk", "obeisance", "obituary", "objection", "oblige", "oblique", "oblivion", "obscure",
     "observe"},
    {"napkin", "narrate", "narrow", "nasal", "nation", "native", "natural", "nature", "navigate", "nautical"},
    {"mandate", "mandolin", "maneuver", "manifest", "manhole", "manner", "manor", "mansion", "mantle",
     "manual"},
    {"lancet", "landing", "landlord", "landmark", "landscape", "landslide", "language", "languid", "lantern",
     "lanyard"},
    {"kindle", "kindly", "kindness", "kindred", "kinetic", "kingdom", "kingfisher", "kinship", "kinsman",
     "kinfolk"},
    {"juggler", "jumble", "jumper", "junction", "juncture", "jungle", "junior", "juniper", "jurist",
     "justice"},
    {"insect", "insert", "inside", "insight", "insist", "inspect", "inspire", "install", "instant",
     "instinct"},
    {"harbor", "hardship", "hardware", "harmful", "harmless", "harmony", "harness", "harpoon", "harvest",
     "harrow"},
    {"graceful", "gradual", "graduate", "grammar", "granite", "graphic", "grapple", "grateful", "gratitude",
     "gravity"},
    {"flagpole", "flagrant", "flamingo", "flannel", "flashlight", "flatten", "flatter", "flavor", "flawless",
     "flaxen"},
    {"exceed", "excel", "excellent", "except", "excerpt", "excess", "exchange", "excite", "exclaim",
     "exclude"},
    {"decade", "deceive", "decent", "decide", "decimal", "decipher", "decision", "declare", "decline",
     "decorate"},
    {"concave", "conceal", "concede", "concert", "concise", "conclude", "concrete", "condemn", "condense",
     "conduct"},
    {"bracelet", "bracket", "bramble", "branch", "brandish", "brandy", "bravado", "bravery", "brazen",
     "brawny"},
    {"abandon", "abdomen", "abiding", "ability", "ablaze", "abolish", "abrasive", "abroad", "absorb",
     "abstract"},
}};

QString exerciseWord(int group, int word)
{
    if (group < 1 || group > kExerciseGroupCount || word < 1 || word > kExerciseGroupSize)
        return {};
    const std::string_view w =
        ExerciseWords[static_cast<std::size_t>(group - 1)][static_cast<std::size_t>(word - 1)];
    return QString::fromLatin1(w.data(), static_cast<qsizetype>(w.size()));
}
