// The upload request reader: one pass over the multipart/form-data body on
// the input, saving its lines to "/tmp/form.header", capturing the form's
// fields, streaming the file content into the destination's output, and at
// the end handing over to "./nextstage".
#pragma once

#include <cstdio>

#include "upload_state.h"

// Never returns: the process becomes "./nextstage", or the clean-up path
// exits with status 1. `state` starts zeroed.
[[noreturn]] void run_upload(UploadState& state, FILE* in, char* const argv[], char* const envp[]);
