// Puts a finished download into the design, as the download flows do after the progress
// dialog: every block takes the bytes read for its (type, channel) as its parameter blob
// (an empty blob when none were read), every controller loads from the blobs, and the
// design takes the amplifier's mute-input polarity.
#pragma once

class CCorvantEditorDoc;
class ReadParamStore;

// The store must be closed (the progress dialog closes it when it ends). True when every
// controller loaded its blob; a controller that could not keeps its defaults either way.
bool ApplyReadParamStore(CCorvantEditorDoc& document, const ReadParamStore& store);
