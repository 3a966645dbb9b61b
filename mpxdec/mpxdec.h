/* The decoder library's C interface: six exports, all called on one thread
 * (the player's user-interface thread). Statuses are classified by their top
 * two bits: 00 success, 01 success with information, 10 a condition that is
 * not shown to the user, 11 an error whose text command 0x00000001 supplies.
 * docs/decoder.md tells the choices made inside. */
#ifndef MPXDEC_H
#define MPXDEC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define MPXDEC_API __declspec(dllexport)
#else
#define MPXDEC_API __attribute__((visibility("default")))
#endif

typedef struct FrameInfo {
    int32_t layer;     /* 1 to 3 */
    int32_t version;   /* 1 for MPEG-1, 2 for MPEG-2 and 2.5 */
    int32_t bitrate;   /* kbit/s */
    int32_t channels;  /* 1 or 2, as coded in the stream */
    int32_t frequency; /* Hz, as coded in the stream */
} FrameInfo;

MPXDEC_API uint32_t mpegInit(void);
MPXDEC_API uint32_t mpegDone(void);
MPXDEC_API uint32_t mpegOpen(const char* location, int32_t quality, int32_t resolution, int32_t downmix,
                             int32_t cpuType);
MPXDEC_API uint32_t mpegGetFrame(void* pcm, int32_t* bytes, FrameInfo* info);
MPXDEC_API uint32_t mpegClose(void);
MPXDEC_API uint32_t mpegCommand(int32_t handle, uint32_t code, intptr_t p1, intptr_t p2, void* out);

#ifdef __cplusplus
}
#endif

#endif
