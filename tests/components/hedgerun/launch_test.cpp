#include "components/hedgerun/launch.h"

#include <gtest/gtest.h>

namespace hg::hedgerun {
namespace {

TEST(HedgeRunLaunch, ProgramFromCommandLineAndNoFolderInBlanksOrEmptyQuotes) {
  const struct {
    const char* commandLine;
    const char* program;
  } cases[] = {
      {"  C:\\Program Files\\Hedgerow \t", "C:\\Program Files\\Hedgerow\\Hedgerow.exe"},
      {" \"C:\\Program Files\\Hedgerow\\\" ", "C:\\Program Files\\Hedgerow\\Hedgerow.exe"},
      {"C:\\", "C:\\Hedgerow.exe"},
      {"\"C:\\Hedge row", "C:\\Hedge row\\Hedgerow.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgramIn(FolderArgument(c.commandLine)), c.program) << c.commandLine;
  }
  for (const char* blank : {"", "  \t", "\"\""}) EXPECT_EQ(FolderArgument(blank), "") << blank;
}

TEST(HedgeRunLaunch, MarkedEnvironmentSetsTheMarkerOnce) {
  const std::vector<std::string> marked = MarkedEnvironment(
      {"=C:=C:\\work", "PATH=C:\\windows", "hedgerow_restarted=0", "HEDGEROW_RESTARTED_NOT=x"});
  EXPECT_EQ(marked, (std::vector<std::string>{"=C:=C:\\work", "PATH=C:\\windows", "HEDGEROW_RESTARTED_NOT=x",
                                              "HEDGEROW_RESTARTED=1"}));
}

}  // namespace
}  // namespace hg::hedgerun
