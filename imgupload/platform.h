// The operating system as the upload handler sees it: environment, files,
// shell commands, the hand-over and the exit. The program links the POSIX
// implementation (platform_posix.cpp); the fuzz build links an in-memory one
// in its place, so the reader can run without touching any real path.
#pragma once

#include <cstddef>
#include <cstdio>

// Once at program start: ignore SIGPIPE (a write into an ended tar is an
// error, not death) and give standard input a large buffer.
void platform_init();
// Standard output line-buffered, so no message waits at the hand-over.
void platform_start_output();

const char* platform_getenv(const char* name);

FILE* platform_open(const char* path, const char* mode);

// What an absolute destination path names, and the path to write: for a
// symbolic link to a regular file, the file it points to.
enum class OutputKind { absent, regular_file, other };
OutputKind platform_output_kind(const char* path, char* final_path, std::size_t final_path_size);
// Create and open for writing a new file from a template ending in
// "XXXXXX" (replaced by the chosen name), with the permission bits that
// opening a new file for writing would give.
FILE* platform_open_temp(char* path_template);

int platform_mkdir(const char* path, unsigned mode);
int platform_unlink(const char* path);
int platform_rename(const char* from, const char* to);
void platform_sync();

// Run a command through the shell and wait: the wait status (or -1).
int platform_run(const char* command);
// Start a command through the shell with a pipe to its standard input.
FILE* platform_pipe_to(const char* command);
// Close that pipe and wait for the command: its wait status (or -1).
int platform_close_pipe(FILE* pipe);

// Close descriptor 0 and open the path read-only in its place.
void platform_reopen_stdin(const char* path);
// Replace the process image; returns only when that fails.
void platform_exec(const char* path, char* const argv[], char* const envp[]);
[[noreturn]] void platform_exit(int status);
