// Makes the embedded images (":/png/<id>.png", ":/icon/<size>.png") reachable. They live in a
// static library, whose resource registration the linker may drop unless someone calls this.
#pragma once

// Registers the images with Qt's resource system; safe to call any number of times and from
// any thread.
void InitImageResources();
