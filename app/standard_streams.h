#pragma once

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed. Started with a
// standard stream closed, a program would otherwise give that number to the next file
// or connection it opens (its X connection, say), and write its messages into it.
void openStandardStreams();
