#include "typing/SentencePageFit.h"

#include <algorithm>

TSentencePageFit FitSentencePage(int lineCount, int charHeight, int lineSpace, int sentenceSpace,
                                 int screenHeight) {
    TSentencePageFit fit;
    int n = lineCount;
    for (;;) {
        const int b = (2 * charHeight + lineSpace) * n + sentenceSpace * (n - 1) + 5;
        int a = std::max(b, 500);
        int offset = (a - b) / 2;
        if (offset < 20) {
            offset = 30;
            a += 60;
        }
        fit = {n, a, offset};
        if (a <= screenHeight - 100 || n < 2)
            return fit;
        --n;
    }
}
