// The in-memory world the imgupload fuzz target runs the request reader in:
// what the platform answers (environment, settings files, command results,
// failures) and what it saw (files, commands, open streams, how the run
// ended). Replaces the program's platform at link time.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform.h"

struct FakeWorld {
  // What the platform answers.
  std::map<std::string, std::string> environment;
  std::map<std::string, std::string> readable_files;
  OutputKind absolute_path_kind = OutputKind::absent;
  int mount_exit = 0;
  int tar_exit = 0;
  long sink_limit = -1;    // bytes an output takes before it fails; -1: no limit
  long header_limit = -1;
  bool header_open_fails = false;
  bool output_open_fails = false;
  bool exec_fails = false;

  // What it saw.
  std::set<std::string> files;  // paths written and not removed since
  std::vector<std::string> commands;
  std::vector<std::string> directories;
  std::string absolute_path;  // an absolute destination asked about
  std::string temp_path;
  std::string stdin_path;
  int open_streams = 0;
  bool mount_failed = false;
  bool exec_attempted = false;
  bool handed_over = false;
  int exit_status = -1;
  std::jmp_buf end_of_run;
};

extern FakeWorld world;

// Once: the program's standard output and error are discarded (findings
// still reach the real standard error).
void quiet_program_output();

// The request body as the program's input stream (not one of its streams).
FILE* open_body(const std::string& body);

// Check an invariant of the program; a violation is a finding.
void require(bool holds, const char* what);

