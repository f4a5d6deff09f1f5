#pragma once

// How many practice lines fit on the screen, and how high the practice
// window must be for them.
struct TSentencePageFit {
    int SentenceCount = 1; // lines per page
    int Height = 500;      // height of the meter and the practice control
    int TextOffsetY = 20;  // top margin of the first line
};

// Fits `lineCount` lines of text `charHeight` pixels high (problem and typed
// line each, `lineSpace` between them, `sentenceSpace` between one line pair
// and the next) into a window at least 500 pixels high, centring them
// vertically; drops lines while the window would not fit `screenHeight`
// minus 100 pixels, keeping at least one.
TSentencePageFit FitSentencePage(int lineCount, int charHeight, int lineSpace, int sentenceSpace,
                                 int screenHeight);
