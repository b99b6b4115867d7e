#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "RecordsTest.h"
#include "app/CommandLine.h"
#include "db/DatabaseFile.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "interop/Exporter.h"
#include "interop/Importer.h"
#include "interop/InteropError.h"
#include "interop/UndoableImport.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "records/UndoHistory.h"

using Interop::Importer;

namespace {

const std::string kCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    "BEGIN:VTODO\r\nUID:task-1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:File taxes\r\nPRIORITY:1\r\n"
    "CATEGORIES:unknown,WORK\r\nDUE;VALUE=DATE:20250415\r\nX-APP-FLAG:kept\r\nEND:VTODO\r\n"
    "BEGIN:VEVENT\r\nUID:event-1\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:20250704T120000\r\nSUMMARY:Picnic\r\n"
    "LOCATION:Park\r\nEND:VEVENT\r\n"
    "BEGIN:VJOURNAL\r\nUID:note-1\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:Thoughts\r\nDESCRIPTION:Many\r\n"
    "CATEGORIES:Recipes\r\nEND:VJOURNAL\r\n"
    "END:VCALENDAR\r\n";

const std::string kCards =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;Jane;;;\r\nFN:Jane Doe\r\nTEL;TYPE=cell:555\r\nPHOTO;ENCODING=b;TYPE=PNG:iVBOR\r\n"
    "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:Roe;Rick\r\nEMAIL;INTERNET:rick@example.org\r\nEND:VCARD\r\n";

class ImportTest : public RecordsTest {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = Folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Every row of every table, to tell that nothing changed.
  std::string Everything() {
    std::string all;
    for (const char* table : {"task", "event", "note", "contact", "category", "record_identity"}) {
      all += Stored(std::string("select group_concat(quote(t.rowid) || ':' || quote(x), '|') from (select * from ") +
                    table + ") as x, " + table + " as t where t.rowid = x.rowid");
      all += Stored(std::string("select count(*) from ") + table) + ";";
    }
    return all;
  }
  std::string Counts(const Importer& importer) {
    std::string text;
    for (const Interop::KindCounts& c : importer.Counts()) {
      text += std::to_string(c.added) + "/" + std::to_string(c.updated) + "/" + std::to_string(c.unchanged) + "/" +
              std::to_string(c.skipped) + " ";
    }
    return text;
  }
};

}  // namespace

TEST_F(ImportTest, AFileIsImportedOnceAndAgainAddsNothing) {
  const std::string ics = Write("a.ics", kCalendar);
  Importer preview(ics);
  preview.Preview();
  EXPECT_EQ(Counts(preview), "1/0/0/0 0/0/0/0 1/0/0/0 1/0/0/0 ");
  EXPECT_EQ(Stored("select count(*) from task"), "0") << "a preview writes nothing";
  EXPECT_EQ(Stored("select count(*) from category where name = 'Recipes'"), "0");

  Importer first(ics);
  ASSERT_TRUE(first.Apply());
  EXPECT_EQ(Counts(first), "1/0/0/0 0/0/0/0 1/0/0/0 1/0/0/0 ");
  const std::vector<TaskRecord> tasks = ListTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].name, "File taxes");
  EXPECT_EQ(tasks[0].priority_id, 1);
  EXPECT_EQ(tasks[0].category_id, 2) << "'WORK' is the known category Work; 'unknown' is not made";
  EXPECT_EQ(ListNotes().at(0).catname, "Recipes") << "a note category that was missing is made";
  EXPECT_EQ(ListEvents(-1).at(0).title, "Picnic");
  EXPECT_EQ(Stored("select uid from record_identity where kind = 2"), "event-1");

  const std::string before = Everything();
  Importer again(ics);
  ASSERT_TRUE(again.Apply());
  EXPECT_EQ(Counts(again), "0/0/1/0 0/0/0/0 0/0/1/0 0/0/1/0 ");
  EXPECT_EQ(Everything(), before);

  std::string changed = kCalendar;
  changed.replace(changed.find("Picnic"), 6, "Barbecue");
  Importer update(Write("b.ics", changed));
  ASSERT_TRUE(update.Apply());
  EXPECT_EQ(Counts(update), "0/0/1/0 0/0/0/0 0/1/0/0 0/0/1/0 ");
  ASSERT_EQ(ListEvents(-1).size(), 1u);
  EXPECT_EQ(ListEvents(-1).at(0).title, "Barbecue");
}

TEST_F(ImportTest, AnImportIsTakenBackAndMadeAgainAsOneStep) {
  const std::string empty = Everything();
  Importer first(Write("a.ics", kCalendar));
  first.Preview();
  ASSERT_TRUE(Interop::ApplyUndoably(first));
  const std::string imported = Everything();
  ASSERT_EQ(UndoHistory::Program().Undo(), 0);
  // The category the import made stays, as a category left behind by a delete does.
  EXPECT_EQ(Stored("select count(*) from task") + Stored("select count(*) from event") +
                Stored("select count(*) from note") + Stored("select count(*) from record_identity"),
            "0000");
  ASSERT_EQ(UndoHistory::Program().Redo(), 0);
  EXPECT_EQ(Everything(), imported) << "made again with the same ids and UIDs";

  std::string changed = kCalendar;
  changed.replace(changed.find("Picnic"), 6, "Barbecue");
  Importer update(Write("b.ics", changed));
  update.Preview();
  ASSERT_EQ(update.Records().size(), 1u);
  ASSERT_TRUE(Interop::ApplyUndoably(update));
  EXPECT_EQ(ListEvents(-1).at(0).title, "Barbecue");
  ASSERT_EQ(UndoHistory::Program().Undo(), 0);
  EXPECT_EQ(Everything(), imported) << "the changed event is back as it was, with the text it came from";
  EXPECT_NE(Everything(), empty);
}

TEST_F(ImportTest, ABadFileChangesNothingAndNamesTheLine) {
  Importer(Write("a.vcf", kCards)).Apply();
  const std::string before = Everything();
  const std::string bad = kCalendar.substr(0, kCalendar.rfind("END:VJOURNAL")) +
                          "LAST-MODIFIED:20240101T000000Z\r\nSUMMARY:\xC3\r\nEND:VJOURNAL\r\nEND:VCALENDAR\r\n";
  Importer importer(Write("bad.ics", bad));
  try {
    importer.Apply();
    FAIL() << "accepted";
  } catch (const Interop::InteropError& e) {
    EXPECT_EQ(Importer::Describe(importer.Path(), e.Line(), e.what()),
              importer.Path() + ": line 27: the text is not valid UTF-8");
  }
  EXPECT_EQ(Everything(), before);
}

TEST_F(ImportTest, AFailingWriteStoresNothingOfTheFile) {
  RefuseWrites("note");
  const std::string before = Everything();
  Importer importer(Write("a.ics", kCalendar));
  EXPECT_THROW(importer.Apply(), DBL::SQLException);
  EXPECT_EQ(Everything(), before) << "the task and event before the note are rolled back";
}

TEST_F(ImportTest, KeptTextIsStoredEncodedLikeEveryTextAndComesBackWhole) {
  const std::string quoted =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:it's-1\r\nSUMMARY:Ann's \"big\" day\r\n"
      "X-SAID:it's ok\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
  const std::string ics = Write("quoted.ics", quoted);
  ASSERT_TRUE(Importer(ics).Apply());
  const std::string stored = Stored("select uid || component || fields from record_identity");
  EXPECT_EQ(stored.find('\''), std::string::npos) << stored;
  EXPECT_EQ(stored.find('"'), std::string::npos) << stored;
  EXPECT_NE(stored.find("X-SAID:it#$%g^s ok"), std::string::npos) << stored;
  EXPECT_EQ(ListTasks().at(0).name, "Ann's \"big\" day");

  const std::string out = Folder() + "/quoted-out.ics";
  ASSERT_EQ(Interop::ExportFile(out, {0}), 1);
  EXPECT_NE(Read(out).find("X-SAID:it's ok\r\n"), std::string::npos);
  Importer again(ics);
  ASSERT_TRUE(again.Apply());
  EXPECT_EQ(again.Total().unchanged, 1) << "found again by its UID";

  // A refused identity takes its record with it.
  RefuseWrites("record_identity");
  const std::string before = Everything();
  EXPECT_THROW(Importer(Write("more.ics", kCalendar)).Apply(), DBL::SQLException);
  EXPECT_EQ(Everything(), before);
}

TEST_F(ImportTest, CancelledWorkStoresNothing) {
  std::string many = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
  for (int i = 0; i < 300; ++i) {
    many += "BEGIN:VEVENT\r\nUID:e" + std::to_string(i) + "\r\nDTSTART;VALUE=DATE:20250101\r\nEND:VEVENT\r\n";
  }
  many += "END:VCALENDAR\r\n";
  Importer importer(Write("many.ics", many));
  int calls = 0;
  EXPECT_FALSE(importer.Apply([&](int done, int total) {
    EXPECT_LE(done, total);
    return ++calls < 3;
  }));
  EXPECT_EQ(Stored("select count(*) from event"), "0");
}

TEST_F(ImportTest, AnUnchangedRecordIsExportedAsItCameAndAChangedOneOverWhatItCameWith) {
  Importer(Write("a.ics", kCalendar)).Apply();
  Importer(Write("a.vcf", kCards)).Apply();
  const std::string ics = Folder() + "/out.ics";
  EXPECT_EQ(Interop::ExportFile(ics), 3);
  const std::string exported = Read(ics);
  EXPECT_NE(exported.find("X-APP-FLAG:kept\r\n"), std::string::npos);
  EXPECT_NE(exported.find("LOCATION:Park\r\n"), std::string::npos);

  // Exported again, the same file reads back as unchanged.
  Importer back(ics);
  back.Apply();
  EXPECT_EQ(back.Total().unchanged, 3);
  EXPECT_EQ(back.Total().added, 0);

  TaskRecord task = ListTasks().at(0);
  task.name = "File taxes today";
  task.completed = 1;
  ASSERT_EQ(UpdateTask(task), 0);
  Interop::ExportFile(ics);
  const std::string after = Read(ics);
  EXPECT_NE(after.find("SUMMARY:File taxes today"), std::string::npos);
  EXPECT_NE(after.find("STATUS:COMPLETED"), std::string::npos);
  EXPECT_NE(after.find("X-APP-FLAG:kept"), std::string::npos) << "kept under the changed fields";
  EXPECT_NE(after.find("DUE;VALUE=DATE:20250415"), std::string::npos) << "an unchanged field stays as it was";

  const std::string vcf = Folder() + "/out.vcf";
  EXPECT_EQ(Interop::ExportFile(vcf), 2);
  const std::string cards = Read(vcf);
  EXPECT_NE(cards.find("PHOTO;ENCODING=b;TYPE=PNG:iVBOR"), std::string::npos);
  EXPECT_NE(cards.find("VERSION:2.1"), std::string::npos) << "an unchanged card is written as it came";
}

TEST_F(ImportTest, RecordsMadeHereAndOlderFilesGetIdentities) {
  TaskRecord task;
  task.category_id = 1;
  task.priority_id = 2;
  task.name = "made here";
  const int id = InsertTask(task);
  ASSERT_GT(id, 0);
  // An older file: no identity table at all.
  Exec("drop table record_identity");
  ASSERT_EQ(DBL::PrepareDatabase(DatabasePath()), "");
  const std::string uid = Stored("select uid from record_identity where kind = 0 and record_id = " + std::to_string(id));
  EXPECT_EQ(uid.size(), 36u) << uid;
  EXPECT_EQ(uid[14], '4');
  ASSERT_EQ(DBL::PrepareDatabase(DatabasePath()), "");
  EXPECT_EQ(Stored("select uid from record_identity where kind = 0 and record_id = " + std::to_string(id)), uid)
      << "a UID once given is kept";
  ASSERT_EQ(DeleteTask(id), 0);
  ASSERT_EQ(DBL::PrepareDatabase(DatabasePath()), "");
  EXPECT_EQ(Stored("select count(*) from record_identity where kind = 0"), "0");

  // A record made here is exported with a UID of its own.
  ASSERT_GT(InsertTask(task), 0);
  const std::string out = Folder() + "/new.ics";
  Interop::ExportFile(out);
  EXPECT_NE(Read(out).find("UID:" + Stored("select uid from record_identity where kind = 0")), std::string::npos);
}

TEST_F(ImportTest, CommandLineImportsEachFileWholeOrNotAtAll) {
  const std::string good = Write("good.ics", kCalendar);
  const std::string bad = Write("bad.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\n");
  std::vector<std::string> words = {"orvale-organizer", "--import", good, bad};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  std::ostringstream out, err;
  EXPECT_EQ(RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err), 1);
  EXPECT_EQ(out.str(), good + ": added 3, updated 0, unchanged 0, skipped 0\n");
  EXPECT_EQ(err.str(), bad + ": line 1: the file ends inside BEGIN:VCARD (no END:VCARD; is the file cut off?)\n");

  std::vector<std::string> exportWords = {"orvale-organizer", "--export", Folder() + "/all.ics"};
  std::vector<char*> exportArgv;
  for (std::string& word : exportWords) exportArgv.push_back(word.data());
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCommandLine(3, exportArgv.data(), out2, err2), 0) << err2.str();
  EXPECT_NE(Read(Folder() + "/all.ics").find("UID:task-1"), std::string::npos);

  std::vector<std::string> missing = {"orvale-organizer", "--export", Folder() + "/no/such/folder/x.ics"};
  std::vector<char*> missingArgv;
  for (std::string& word : missing) missingArgv.push_back(word.data());
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCommandLine(3, missingArgv.data(), out3, err3), 1);
  EXPECT_NE(err3.str().find("not written"), std::string::npos) << err3.str();
}
