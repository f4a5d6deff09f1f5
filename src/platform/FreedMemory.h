#pragma once

// How the program hands memory it has freed back to the system.

// Large blocks (decoded pictures, vertex lists) get pages of their own and
// go back to the system as soon as they are freed. By default the C library
// learns from the first large block freed to keep later ones in its heaps,
// one heap per thread that allocated them, where they stay counted against
// the program long after the pictures became textures. Call once, first.
void ReleaseLargeBlocksAtOnce();

// Hands back what the C library still keeps of freed memory, in every heap.
void ReturnFreedMemory();
