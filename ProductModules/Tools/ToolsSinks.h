#pragma once
// Small helpers for answering through the tools interface's sinks.

#include "VLString.h"
#include "VLToolsInterface.h"

inline void SinkSet(IVLTextSink& sink, const VLString& text)
{
    sink.Set(text.GetString(), text.GetLength());
}
