// The entry points of the network module, the only symbols it exports.
#include <curl/curl.h>

#include "mpxdec/HttpReader.h"

#define MPXDEC_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MPXDEC_MODULE_EXPORT bool mpxdecHttpInit() { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }

MPXDEC_MODULE_EXPORT void mpxdecHttpCleanup() { curl_global_cleanup(); }

MPXDEC_MODULE_EXPORT mpxdec::HttpSource* mpxdecHttpCreate(std::size_t capacity) {
    return new mpxdec::HttpReader(capacity);
}
