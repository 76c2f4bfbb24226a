// tachiflash FILE [WIDTH]
// Takes FILE as the tachistoscope's formatted display lines and prints TextWords, then every flash in order:
// the piece between brackets, "blank" for the empty flash after a paragraph, and "end".

#include "TachiEngine.h"
#include "TachiText.h"
#include "TextFile.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tachiflash FILE [WIDTH]   (WIDTH 8..26, default 12)\n");
        return 2;
    }
    const int width = argc == 3 ? std::atoi(argv[2]) : 12;
    if (width < 8 || width > 26) {
        std::fprintf(stderr, "tachiflash: WIDTH must be 8..26\n");
        return 2;
    }
    const auto lines = readTextFileLines(QString::fromLocal8Bit(argv[1]));
    if (!lines) {
        std::fprintf(stderr, "tachiflash: cannot read %s as text\n", argv[1]);
        return 1;
    }

    std::printf("TextWords %.0f\n", tachiTextWords(*lines));
    TTachiEngine engine;
    engine.start(buildFlashText(*lines));
    // Each event moves on by at least one character, so the text length bounds the events.
    const long long limit = 2LL * engine.flashText().size() + 10;
    for (long long event = 1; event <= limit; ++event) {
        const TachiFlash flash = engine.tick(width);
        switch (flash.kind) {
        case TachiFlash::Kind::Blank:
            std::printf("%5lld blank\n", event);
            break;
        case TachiFlash::Kind::Piece:
            std::printf("%5lld %3d%% [%s]\n", event, flash.progress, flash.text.toUtf8().constData());
            break;
        case TachiFlash::Kind::End:
            std::printf("%5lld end\n", event);
            return 0;
        }
    }
    std::fprintf(stderr, "tachiflash: no end after %lld events\n", limit);
    return 1;
}
