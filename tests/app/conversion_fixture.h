// Batches for the conversion driver's tests: a file list over temporary
// folders, a main window, the progress window, the converter stand-in
// placed as "ConvertZelvo.exe" in a program folder, and every outside call
// (sounds, message boxes, the shell, reported errors) recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/conversion_driver.h"
#include "app_fixture.h"
#include "platform/win/user/mmsystem.h"

class TForm;
class TFormOpenOutputConfirmation;

// The file list of the tests: rows of (folder, name) and their states; what
// the driver did to them in order.
class TTestFileList : public IConversionFileList {
 public:
  struct TRow {
    AnsiString Folder;
    AnsiString Name;
    TRowState State = rsWaiting;
    AnsiString Hint;
  };
  std::vector<TRow> Rows;
  TForm* Main = nullptr;
  TProgressForm* Progress = nullptr;
  // "state ROW STATE | label | position", "enabled 0/1".
  std::vector<AnsiString> Events;

  Integer RowCount() const override { return static_cast<Integer>(Rows.size()); }
  AnsiString RowFileName(Integer row) const override { return Rows.at(static_cast<size_t>(row)).Name; }
  AnsiString RowFolder(Integer row) const override { return Rows.at(static_cast<size_t>(row)).Folder; }
  void SetRowState(Integer row, TRowState state) override;
  void SetRowHint(Integer row, const AnsiString& hint) override { Rows.at(static_cast<size_t>(row)).Hint = hint; }
  TCustomForm* Window() const override;
  void SetWindowEnabled(bool enabled) override;

  std::vector<Integer> States() const;
};

// What the completion dialog showed, and how the test answers it.
struct TDialogSeen {
  AnsiString Caption;
  AnsiString Question;
  bool Checked = false;
  TRect Bounds;
};
enum TDialogAnswer { daOpen, daCancel, daTickThenCancel };

class ConversionBatch : public AppFolders {
 protected:
  AnsiString Program;  // the program folder, with a trailing delimiter
  AnsiString Input;    // a folder of input files, with a trailing delimiter
  AnsiString ArgvLog;
  TTestFileList List;
  TProgressForm* Progress = nullptr;
  TConversionDriver* Driver = nullptr;

  std::vector<rtl::detail::TSoundCall> Sounds;
  std::vector<AnsiString> Boxes;                 // "caption|text|flags"
  std::vector<std::vector<AnsiString>> Spawned;  // shell programs started
  std::vector<AnsiString> Errors;                // reported exceptions
  std::vector<TDialogSeen> Dialogs;
  std::vector<AnsiString> Order;  // "sound", "dialog", "box", "shell"
  TDialogAnswer Answer = daCancel;
  AnsiString DialogPicture;  // when set, the dialog is saved there
  AnsiString SavedTitle;

  void SetUp() override;
  void TearDown() override;

  // Files named in the folder (made when missing), as rows of the list.
  void AddRows(const AnsiString& folder, const std::vector<AnsiString>& names);
  // Runs the loop until done answers true; false after the time limit.
  bool RunUntil(const std::function<bool()>& done, int ms = 20000);
  // Starts a batch and runs it to its end (the progress window hidden and
  // the runner idle).
  bool Convert(TConversionKind kind);
  bool WaitIdle();
  // The argument vectors the stand-in was started with, in order.
  std::vector<std::vector<AnsiString>> Runs() const;
  static void SetConverterEnv(const char* name, const AnsiString& value);
};
