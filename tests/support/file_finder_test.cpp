#include "support/file_finder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "support/ansi_string_vectors.h"

namespace {

using Paths = std::vector<std::string>;

// A temporary folder tree, removed at the end of the test. Paths are
// relative; a path ending in '/' is a folder.
class Tree : public testing::Test {
 protected:
  std::string root;

  void SetUp() override {
    char tmpl[] = "/tmp/file_finder_test_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root = std::string(tmpl) + "/";
  }
  void TearDown() override {
    ::chmod((root + "locked").c_str(), 0755);
    std::system(("rm -rf '" + root + "'").c_str());
  }
  void Make(const Paths& paths) {
    for (const std::string& p : paths) {
      if (p.back() == '/')
        std::system(("mkdir -p '" + root + p + "'").c_str());
      else
        std::system(("mkdir -p \"$(dirname '" + root + p + "')\" && touch '" + root + p + "'").c_str());
    }
  }
  void Link(const std::string& target, const std::string& name) {
    ASSERT_EQ(::symlink(target.c_str(), (root + name).c_str()), 0);
  }

  // Every match of a finder set up on the root, relative to the root.
  static Paths Walk(TDICustomFileFinder& finder, const std::string& top) {
    Paths found;
    while (finder.NextMatch()) found.push_back(finder.FoundPath().substr(top.size()));
    return found;
  }
  static void Include(TDIWildFileFinder& finder, const std::vector<std::string>& patterns) {
    TDIAnsiStringVector v;
    v.SetCount(static_cast<Integer>(patterns.size()));
    for (size_t i = 0; i < patterns.size(); ++i) v.SetString(static_cast<Integer>(i), patterns[i]);
    finder.SetIncludeFilters(&v);
  }
  // The folder search as the application sets it up.
  void SetUpPdfSearch(TDIWildFileFinder& finder) {
    finder.SetSearchFolder(root.substr(0, root.size() - 1));
    finder.SetRecurse(true);
    Include(finder, {"*.pdf"});
  }

  const Paths tree = {"b.pdf", "A.PDF", "c.txt", "d.pdf.txt", "e/", "sub/x.pdf", "sub/y.txt", "sub/deeper/z.Pdf"};
};

TEST_F(Tree, FindsEveryPdfOnceDepthFirstInNameOrder) {
  Make(tree);
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  EXPECT_EQ(finder.SearchFolder(), root);
  EXPECT_EQ(Walk(finder, root), (Paths{"A.PDF", "b.pdf", "sub/deeper/z.Pdf", "sub/x.pdf"}));
  // The ended walk is back at the top, and the next call starts anew.
  EXPECT_EQ(finder.SearchFolder(), root);
  EXPECT_EQ(Walk(finder, root).size(), 4u);
}

TEST_F(Tree, FoldersComeWithATrailingDelimiterBeforeTheirContents) {
  Make(tree);
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  Include(finder, {"*"});
  finder.SetFolderFilter(true);
  EXPECT_EQ(Walk(finder, root), (Paths{"A.PDF", "b.pdf", "c.txt", "d.pdf.txt", "e/", "sub/", "sub/deeper/",
                                       "sub/deeper/z.Pdf", "sub/x.pdf", "sub/y.txt"}));
  finder.SetRecurse(false);
  finder.SetFileFilter(false);
  EXPECT_EQ(Walk(finder, root), (Paths{"e/", "sub/"}));
}

TEST_F(Tree, ExcludedFoldersAreStillSearched) {
  Make(tree);
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  finder.SetFolderFilter(true);
  TDIAnsiStringVector exclude;
  exclude.SetCount(1);
  exclude.SetString(0, "*/deeper/");
  finder.SetExcludeFilters(&exclude);
  Include(finder, {"*.pdf", "*/"});
  EXPECT_EQ(Walk(finder, root), (Paths{"A.PDF", "b.pdf", "e/", "sub/", "sub/deeper/z.Pdf", "sub/x.pdf"}));
}

TEST_F(Tree, AttributeFilters) {
  Make({"plain.pdf", ".dot.pdf", "dir.pdf/", ".hidden/inner.pdf"});
  ASSERT_EQ(::mkfifo((root + "pipe.pdf").c_str(), 0644), 0);
  struct Case {
    const char* name;
    void (TDICustomAttributeFileFinder::*set)(TDIAttributeFilter);
    TDIAttributeFilter filter;
    Paths expected;
  };
  const Case cases[] = {
      {"none", &TDICustomAttributeFileFinder::SetHiddenFilter, afIgnore,
       {".dot.pdf", ".hidden/", ".hidden/inner.pdf", "dir.pdf/", "pipe.pdf", "plain.pdf"}},
      // Hidden folders are descended into although they are not returned.
      {"hidden out", &TDICustomAttributeFileFinder::SetHiddenFilter, afExclude,
       {".hidden/inner.pdf", "dir.pdf/", "pipe.pdf", "plain.pdf"}},
      {"hidden only", &TDICustomAttributeFileFinder::SetHiddenFilter, afInclude, {".dot.pdf", ".hidden/"}},
      {"archive only", &TDICustomAttributeFileFinder::SetArchiveFilter, afInclude,
       {".dot.pdf", ".hidden/inner.pdf", "plain.pdf"}},
      {"archive out", &TDICustomAttributeFileFinder::SetArchiveFilter, afExclude,
       {".hidden/", "dir.pdf/", "pipe.pdf"}},
      {"system only", &TDICustomAttributeFileFinder::SetSystemFilter, afInclude, {"pipe.pdf"}},
      {"system out", &TDICustomAttributeFileFinder::SetSystemFilter, afExclude,
       {".dot.pdf", ".hidden/", ".hidden/inner.pdf", "dir.pdf/", "plain.pdf"}},
      {"compressed only", &TDICustomAttributeFileFinder::SetCompressedFilter, afInclude, {}},
  };
  for (const Case& c : cases) {
    TDIWildFileFinder finder(nullptr);
    finder.SetSearchFolder(root);
    finder.SetRecurse(true);
    finder.SetFolderFilter(true);
    (finder.*c.set)(c.filter);
    EXPECT_EQ(Walk(finder, root), c.expected) << c.name;
  }
}

TEST_F(Tree, UnreadableOrMissingFoldersAreSkipped) {
  Make({"a.pdf", "locked/hidden.pdf", "z.pdf"});
  ASSERT_EQ(::chmod((root + "locked").c_str(), 0), 0);
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  Paths found = Walk(finder, root);
  if (::geteuid() == 0) {
    // Permissions do not deny reads to root: only the walk going on is checked.
    EXPECT_EQ(found.front(), "a.pdf");
    EXPECT_EQ(found.back(), "z.pdf");
  } else {
    EXPECT_EQ(found, (Paths{"a.pdf", "z.pdf"}));
  }
  finder.SetSearchFolder(root + "missing");
  EXPECT_FALSE(finder.NextMatch());
  EXPECT_EQ(finder.SearchFolder(), root + "missing/");
}

TEST_F(Tree, StoppedWalkResumesWhereItStopped) {
  Make(tree);
  TDIWildFileFinder full(nullptr);
  SetUpPdfSearch(full);
  Integer entries = 0;
  full.OnProgress = [&](TDICustomFileFinder*) { ++entries; };
  const Paths all = Walk(full, root);
  ASSERT_GT(entries, 5);
  // Stop at each entry in turn, including right after descending.
  for (Integer stopAt = 1; stopAt <= entries; ++stopAt) {
    TDIWildFileFinder finder(nullptr);
    SetUpPdfSearch(finder);
    Integer seen = 0;
    finder.OnProgress = [&](TDICustomFileFinder* sender) {
      if (++seen == stopAt) sender->SetStopRequested(true);
    };
    Paths found;
    bool stopped = false;
    for (;;) {
      if (finder.NextMatch()) {
        found.push_back(finder.FoundPath().substr(root.size()));
      } else if (finder.StopRequested()) {
        stopped = true;
      } else {
        break;
      }
    }
    EXPECT_TRUE(stopped) << stopAt;
    EXPECT_EQ(found, all) << "stopped at entry " << stopAt;
  }
}

TEST_F(Tree, ChangingTheSearchFolderClosesTheWalk) {
  Make(tree);
  Make({"other/o.pdf"});
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  Include(finder, {"*.pdf", "*/"});
  finder.SetFolderFilter(true);
  while (finder.NextMatch() && finder.FoundPath() != root + "sub/deeper/") {
  }
  ASSERT_EQ(finder.SearchFolder(), root + "sub/deeper/");
  // Closing in the middle goes back to the top folder of the walk.
  finder.CloseSearch();
  EXPECT_EQ(finder.SearchFolder(), root);
  ASSERT_TRUE(finder.NextMatch());
  EXPECT_EQ(finder.FoundPath(), root + "A.PDF");
  // A new folder starts a new walk there.
  while (finder.NextMatch() && finder.FoundPath() != root + "sub/") {
  }
  finder.SetSearchFolder(root + "other");
  EXPECT_EQ(Walk(finder, root), (Paths{"other/o.pdf"}));
}

TEST_F(Tree, LinkCyclesEnd) {
  Make({"a/a.pdf", "b/b.pdf", "top.pdf"});
  Link("..", "a/up");         // back to the root
  Link(".", "b/self");        // to itself
  Link("../b", "a/to_b");     // a and b point at each other
  Link("../a", "b/to_a");
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  // A linked folder is searched unless it is already open on the path.
  EXPECT_EQ(Walk(finder, root),
            (Paths{"a/a.pdf", "a/to_b/b.pdf", "b/b.pdf", "b/to_a/a.pdf", "top.pdf"}));
}

// The walk reads a folder's names itself: they must come in the runtime
// library's order (without regard to case, also beyond ASCII) and match
// without regard to case.
TEST_F(Tree, NamesComeInTheLibrarySearchOrder) {
  Make({"\xC3\x89lan.pdf", "\xC3\xA9" "clair.pdf", "zeta.pdf", "Alpha.pdf", "\xC3\xB1.PDF", "b.pdf", "B.pdf",
        "\xCE\xA3igma.Pdf", "\xCF\x83x.pdf", "_under.pdf", "[br].pdf"});
  Paths expected;
  TSearchRec rec;
  for (Integer r = FindFirst(root + "*", faAnyFile, rec); r == 0; r = FindNext(rec))
    if (rec.Name != "." && rec.Name != "..") expected.push_back(rec.Name);
  FindClose(rec);
  ASSERT_EQ(expected.size(), 11u);
  TDIWildFileFinder finder(nullptr);
  SetUpPdfSearch(finder);
  EXPECT_EQ(Walk(finder, root), expected);
}

// A finder that keeps the record of every entry it judges.
class TRecordingFinder : public TDIWildFileFinder {
 public:
  using TDIWildFileFinder::TDIWildFileFinder;
  std::vector<TSearchRec> Records;

 protected:
  bool AcceptEntry() override {
    Records.push_back(FindData());
    return TDIWildFileFinder::AcceptEntry();
  }
};

// The record of the entry being judged, read only when asked for, is the
// one the runtime library's search gives: for files, folders and links.
TEST_F(Tree, TheEntryRecordIsTheLibrarySearchRecord) {
  Make({"sub/", ".hidden.pdf"});
  std::system(("printf 12345 > '" + root + "five.pdf'").c_str());
  Link("five.pdf", "link.pdf");
  Link("sub", "sublink");
  TRecordingFinder finder(nullptr);
  finder.SetSearchFolder(root);
  finder.SetFolderFilter(true);
  finder.SetHiddenFilter(afIgnore);
  Walk(finder, root);
  ASSERT_EQ(finder.Records.size(), 5u);
  for (const TSearchRec& got : finder.Records) {
    TSearchRec want;
    ASSERT_EQ(FindFirst(root + got.Name, faAnyFile, want), 0) << got.Name;
    FindClose(want);
    EXPECT_EQ(want.Name, got.Name);
    EXPECT_EQ(want.Attr, got.Attr) << got.Name;
    EXPECT_EQ(want.Size, got.Size) << got.Name;
    EXPECT_EQ(want.Time, got.Time) << got.Name;
  }
}

TEST_F(Tree, DestroyingAFinderInTheMiddleOfAWalkIsClean) {
  Make(tree);
  auto* owner = new TComponent(nullptr);
  auto* finder = new TDIWildFileFinder(owner);
  SetUpPdfSearch(*finder);
  ASSERT_TRUE(finder->NextMatch());
  ASSERT_TRUE(finder->NextMatch());
  ASSERT_TRUE(finder->NextMatch());
  EXPECT_EQ(finder->FoundPath(), root + "sub/deeper/z.Pdf");
  delete owner;  // the owner frees the finder with its open listings
}

// The component a form description of the finder hangs from; like a form,
// it writes the components it owns.
class TFinderHost : public TComponent {
  RTL_CLASS(TFinderHost, TComponent)

 public:
  using TComponent::TComponent;
  void GetChildren(const TGetChildProc& Proc, TComponent*) override {
    for (Integer i = 0; i < ComponentCount(); ++i) Proc(Components(i));
  }
};
RTL_IMPLEMENT_CLASS(TFinderHost)

TEST(FinderStreaming, FormDescriptionKeepsTheSettingsAndThePatterns) {
  RegisterClasses({TFinderHost::StaticClass(), TDIWildFileFinder::StaticClass()});
  TFinderHost host(nullptr);
  host.SetName("Host");
  auto* finder = new TDIWildFileFinder(&host);
  finder->SetName("Finder");
  finder->SetRecurse(true);
  finder->SetHiddenFilter(afExclude);
  finder->IncludeFilters()->SetCount(1);
  finder->IncludeFilters()->SetString(0, "*.pdf");

  TMemoryStream binary;
  {
    TWriter writer(&binary, 4096);
    writer.WriteRootComponent(&host);
  }
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  const std::string form = text.DataString();
  // Defaults and the empty exclude list are not stored; the include list
  // is its binary property, "DIVC", version 1, item size 4, one "*.pdf".
  EXPECT_NE(form.find("Recurse = True"), std::string::npos) << form;
  EXPECT_NE(form.find("HiddenFilter = afExclude"), std::string::npos) << form;
  EXPECT_NE(form.find("    IncludeFilters.TDIAnsiStringVector = {\n      444956430201020402011E052A2E706466}\n"),
            std::string::npos)
      << form;
  EXPECT_EQ(form.find("FileFilter"), std::string::npos) << form;
  EXPECT_EQ(form.find("ExcludeFilters"), std::string::npos) << form;

  TStringStream in(form);
  TMemoryStream back;
  ObjectTextToBinary(&in, &back);
  back.SetPosition(0);
  TReader reader(&back, 4096);
  std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
  auto* read = dynamic_cast<TDIWildFileFinder*>(root->FindComponent("Finder"));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->Recurse());
  EXPECT_TRUE(read->FileFilter());
  EXPECT_EQ(read->HiddenFilter(), afExclude);
  ASSERT_EQ(read->IncludeFilters()->Count(), 1);
  EXPECT_EQ(read->IncludeFilters()->GetString(0), "*.pdf");
  EXPECT_TRUE(read->ExcludeFilters()->IsEmpty());
  UnRegisterClasses({TFinderHost::StaticClass(), TDIWildFileFinder::StaticClass()});
}

}  // namespace
