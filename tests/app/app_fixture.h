// A temporary home and application-data folder for the application's tests,
// and a writer of branding files from plain text.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/types.h"

class AppFolders : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  AnsiString Root;     // the temporary folder, with a trailing delimiter
  AnsiString AppData;  // $XDG_CONFIG_HOME, with a trailing delimiter
  AnsiString Home;     // $HOME, with a trailing delimiter

 private:
  AnsiString savedHome_, savedConfig_;
  bool hadHome_ = false, hadConfig_ = false;
};

// Stores the plain ini text as a branding file: every byte of every line is
// inverted, the line breaks stay as they are.
void WriteBrandingFile(const AnsiString& path, const AnsiString& plain);

AnsiString ReadWholeFile(const AnsiString& path);
void WriteWholeFile(const AnsiString& path, const AnsiString& data);
