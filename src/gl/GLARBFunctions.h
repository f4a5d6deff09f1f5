#pragma once

#include <QString>

// Process-wide table of the OpenGL entry points and limits that the panels'
// multisampled drawing depends on. Filled once at start-up, before any panel
// exists, by probing a temporary context on an offscreen surface.
struct TGLARBFunctions {
    using TProc = void (*)();

    // Buffer-object entry points (ARB_vertex_buffer_object).
    TProc glBindBufferARB = nullptr;
    TProc glDeleteBuffersARB = nullptr;
    TProc glGenBuffersARB = nullptr;
    TProc glIsBufferARB = nullptr;
    TProc glBufferDataARB = nullptr;
    TProc glBufferSubDataARB = nullptr;
    TProc glGetBufferSubDataARB = nullptr;
    TProc glMapBufferARB = nullptr;
    TProc glUnmapBufferARB = nullptr;
    TProc glGetBufferParameterivARB = nullptr;
    TProc glGetBufferPointervARB = nullptr;
    // What a multisampled frame needs here: a multisampled render buffer
    // and the blit that resolves it for display.
    TProc glRenderbufferStorageMultisample = nullptr;
    TProc glBlitFramebuffer = nullptr;

    // Largest sample count a frame may use; 0 without multisampling.
    int MaxSamples = 0;
    // The renderer draws on the processor (Mesa's llvmpipe, softpipe or
    // swrast): every extra sample costs frame time and memory in full.
    bool SoftwareRenderer = false;
    // The probe ran and every entry point was found.
    bool Loaded = false;
    // The probe ran (successfully or not).
    bool Probed = false;
};

// The table. Its values are meaningful once the probe has run.
TGLARBFunctions& GLARBFunctions();

// Whether a renderer name (GL_RENDERER) is one of the processor-based
// rasterizers.
bool IsSoftwareRendererName(const QString& renderer);

// Samples per pixel a panel asks for: up to `wanted` where the driver offers
// them, none on a software renderer. There a multisampled frame at the menu's
// size takes some 40 MB and doubles the drawing time, for edges a learner
// barely sees.
int PreferredSamples(int wanted);

// Runs the probe once per process (later calls return the first result).
// Returns false and sets `error` when a context cannot be created or an
// entry point is missing.
bool ProbeGLARBFunctions(QString* error = nullptr);

// Start-up form of the probe: on failure reports the error on stderr and in
// a message box and returns false, and the program stops.
bool Load_GLARB_Functions();
