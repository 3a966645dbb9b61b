#include "engine/Decoder.h"

DecoderStatus MpxDecoder::Init()
{
    return mpegInit();
}

DecoderStatus MpxDecoder::Done()
{
    return mpegDone();
}

DecoderStatus MpxDecoder::Open(const std::string& location, int quality, int resolution, int downmix, int cpuType)
{
    return mpegOpen(location.c_str(), quality, resolution, downmix, cpuType);
}

DecoderStatus MpxDecoder::GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info)
{
    return mpegGetFrame(pcm, bytes, info);
}

DecoderStatus MpxDecoder::Close()
{
    return mpegClose();
}

DecoderStatus MpxDecoder::Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out)
{
    // The library's first argument is always 0.
    return mpegCommand(0, code, p1, p2, out);
}
