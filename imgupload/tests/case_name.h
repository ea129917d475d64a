// Names of table-driven test cases: each case record carries a `name`.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct CaseName {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& param_info) const {
    return param_info.param.name;
  }
};
