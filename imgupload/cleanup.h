// The one clean-up path of the upload handler: every failure ends here.
#pragma once

#include "upload_state.h"

inline constexpr char kHeaderPath[] = "/tmp/form.header";

// Report the failure (tag: perror style, with the failing call's error),
// close the outputs, remove the partial download, the temporary file and the
// saved form, unmount "/mnt/tmp" and exit with status 1.
[[noreturn]] void fail_and_clean_up(UploadState& state, const char* tag);

// A refused request: the printf-style message on standard error, then the
// clean-up path.
[[noreturn]] void refuse(UploadState& state, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Close the output as what it is; returns the close result (for the tar pipe
// the wait status of tar). The state no longer holds it afterwards.
int close_sink(UploadState& state);

// A command that failed (wait status `status` as system() gives it): the
// refusal names it and how it ended.
[[noreturn]] void refuse_command(UploadState& state, const char* what, int status);
