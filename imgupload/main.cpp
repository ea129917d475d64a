// imgupload: the CGI program that takes an image upload (multipart/form-data
// on standard input), writes the file to its destination and hands over to
// "./nextstage".
#include <cstdio>

#include "platform.h"
#include "reader.h"

namespace {
UploadState state;
}

int main(int, char** argv, char** envp) {
  platform_init();
  run_upload(state, stdin, argv, envp);
}
