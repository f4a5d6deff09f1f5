#pragma once

// Numbers the frames of one running animation: Start() makes it frame 1,
// IncTick() advances it while it runs, Stop() freezes it (the frame number
// stays readable), Reset() returns to the unstarted state. Used on the window
// thread only.
class TGLAniTick {
public:
    int Tick = 0;

    bool Started() const { return Tick != 0 && !FStopped; }
    bool Stopped() const { return FStopped; }

    void Start() {
        Tick = 1;
        FStopped = false;
    }
    void IncTick() {
        if (Started())
            ++Tick;
    }
    void Stop() { FStopped = true; }
    void Reset() {
        Tick = 0;
        FStopped = false;
    }

private:
    bool FStopped = false;
};
