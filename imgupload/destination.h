// open_destination: where the uploaded file goes. Mounts the destination on
// "/mnt/tmp" when it is not a plain path and opens the output (`sink`).
#pragma once

#include "upload_state.h"

// Reads `destination`, `image_type` and `image_name`; returns only with
// `sink` open. Every failure goes through the clean-up path.
void open_destination(UploadState& state);
