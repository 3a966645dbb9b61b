// The six C exports; each forwards to the one Library.

#include "mpxdec/Library.h"
#include "mpxdec/mpxdec.h"

using mpxdec::Library;

extern "C" {

MPXDEC_API uint32_t mpegInit(void)
{
    return Library::Instance().Init();
}

MPXDEC_API uint32_t mpegDone(void)
{
    return Library::Instance().Done();
}

MPXDEC_API uint32_t mpegOpen(const char* location, int32_t quality, int32_t resolution, int32_t downmix,
                             int32_t cpuType)
{
    return Library::Instance().Open(location, quality, resolution, downmix, cpuType);
}

MPXDEC_API uint32_t mpegGetFrame(void* pcm, int32_t* bytes, FrameInfo* info)
{
    return Library::Instance().GetFrame(pcm, bytes, info);
}

MPXDEC_API uint32_t mpegClose(void)
{
    return Library::Instance().Close();
}

MPXDEC_API uint32_t mpegCommand(int32_t /*handle: always 0*/, uint32_t code, intptr_t p1, intptr_t p2, void* out)
{
    return Library::Instance().Command(code, p1, p2, out);
}
}
