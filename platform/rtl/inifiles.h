// Ini files: the abstract TCustomIniFile, TIniFile (one read or write of
// the file per call, in the private-profile dialect) and TMemIniFile (the
// whole file in memory, written by UpdateFile).
//
// Files are always replaced whole: the new content goes to a temporary file
// in the same folder, is flushed to disk and renamed over the old one, so a
// crash or a full disk never leaves a half-written file behind. Only
// regular files of at most MaxSettingsFileSize bytes are read (whole_files.h):
// anything else at the file's name (a FIFO, a device, a larger file, one
// that cannot be read) raises EIniFileException "Unable to read %s. <why>"
// and is never replaced; a missing file reads as empty.
#pragma once

#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/whole_files.h"

class TStrings;
class TStream;

// A section, key or value that the file cannot hold (a line break, a value
// longer than a read returns, ...); the message names it and the file, and
// the file is unchanged.
RTL_EXCEPTION(EIniValueError, EIniFileException)

class TCustomIniFile : public TObject {
  RTL_CLASS(TCustomIniFile, TObject)
  AnsiString FFileName;

 protected:
  void SetFileName(const AnsiString& Value) { FFileName = Value; }

 public:
  explicit TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}

  const AnsiString& FileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
  virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
  // Decimal or hexadecimal ("0x10", "$10") text; the default for anything else.
  virtual Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default);
  virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value);
  // ReadInteger, non-zero being true; written as "1" or "0".
  virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
  // Text in FormatSettings; the default when missing or not a number/date.
  virtual Extended ReadFloat(const AnsiString& Section, const AnsiString& Name, Extended Default);
  virtual void WriteFloat(const AnsiString& Section, const AnsiString& Name, Extended Value);
  virtual TDateTime ReadDate(const AnsiString& Section, const AnsiString& Name, TDateTime Default);
  virtual void WriteDate(const AnsiString& Section, const AnsiString& Name, TDateTime Value);
  virtual TDateTime ReadDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Default);
  virtual void WriteDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Value);
  // Bytes as hexadecimal text, two digits per byte. ReadBinaryStream writes
  // the bytes into Value at its position and returns how many there were.
  virtual Integer ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value);
  virtual void WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value);

  // Each clears Strings first: the section's keys, the sections, the
  // section's "key=value" lines.
  virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const AnsiString& Section) = 0;
  virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
  virtual void UpdateFile() = 0;
  // A section exists when it holds at least one key.
  virtual bool SectionExists(const AnsiString& Section);
  virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident);
};

// An ini file read and written through on every call, with no cache: a
// write is visible to the next read, in this process or another. Sections
// and keys match without regard to case (the first of duplicates counts);
// blanks around keys and values are cut and one pair of quotes ('' or "")
// around a value is removed; a value read is cut at 2047 bytes (at a whole
// character). Lines end at CR LF, LF or a lone CR; they are written with
// CR LF. Comments (";") and other lines are kept when the file is
// rewritten.
//
// A write reads, changes and replaces the file under an exclusive lock
// between processes (TFileUpdateLock), so writers never lose each other's
// keys. A value whose read would differ from it (blanks at either end,
// surrounding quotes) is written in double quotes, so that every value
// written reads back exactly; one that no read can return whole (a line
// break or NUL, more than 2047 bytes) raises EIniValueError, as does a key
// or section the file cannot hold. The file is created by the first write,
// its folder is not: a failed write raises EIniFileException "Unable to
// write to %s".
class TIniFile : public TCustomIniFile {
  RTL_CLASS(TIniFile, TCustomIniFile)

 public:
  explicit TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) {}

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  // Decimal or "0x" hexadecimal only.
  Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  // Nothing to do: every write went to the file already.
  void UpdateFile() override {}
};

// An ini file held in memory: loaded from the file when created (or set by
// SetStrings), written back by UpdateFile (under the same lock as TIniFile). Keys and values are trimmed when
// loaded, comments and empty lines dropped; values are neither cut nor
// unquoted. Sections and keys match without regard to case unless
// CaseSensitive; lines of a repeated section join the first one.
class TMemIniFile : public TCustomIniFile {
  RTL_CLASS(TMemIniFile, TCustomIniFile)
  struct TSection {
    AnsiString Name;
    std::vector<AnsiString> Lines;  // "name=value" or a line without "="
  };
  std::vector<TSection> FSections;
  bool FCaseSensitive = false;

  bool SameName(const AnsiString& a, const AnsiString& b) const;
  TSection* FindSection(const AnsiString& Section);
  Integer IndexOfName(const TSection& s, const AnsiString& Name) const;
  void LoadValues();

 public:
  explicit TMemIniFile(const AnsiString& FileName);

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  // Writes the content to FileName (nothing for an empty name); raises
  // EIniFileException "Unable to write to %s" when that fails.
  void UpdateFile() override;

  void Clear() { FSections.clear(); }
  // Appends the content as lines: "[Section]", its lines, an empty line.
  void GetStrings(TStrings* List);
  // Replaces the content by the lines of List.
  void SetStrings(TStrings* List);
  // Changes the file name; Reload reads the new file in place of the content.
  void Rename(const AnsiString& FileName, bool Reload);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
};
