#pragma once

#include <functional>
#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

struct TaskRecord {
  int id = -1;
  int category_id = -1;
  int priority_id = -1;
  std::string name;
  std::string description;
  int completed = 0;
  int deadline = 0;       // 1 when the task has a completion date
  int deadline_time = 0;  // 1 when it also has a time of day
  double due_date = 0;    // OLE date; stored as its day number
  double due_time = 0;    // fraction of a day
  int warning = -1;       // minutes before the due moment to remind, 0 for none
  int updated_warning = -1;

  bool operator==(const TaskRecord&) const = default;
};

// The moment a task is due: a task without a time of day is due at the start
// of its day, whatever time an older file keeps hidden beside it.
double TaskDueMoment(const TaskRecord& task);

// The task with this id, or a fresh record (id -1) when there is none.
TaskRecord LoadTask(int id);
// Stores every field but id, completed and updated_warning; a task without a
// completion date (deadline 0) also keeps the table's defaults for its time,
// date and warning. Returns the new id (positive); 0 when nothing was stored,
// -1 when the new id could not be read back.
int InsertTask(const TaskRecord& task);
// Each returns 0 on success, otherwise SQLite's code or -1 (no database).
int UpdateTask(const TaskRecord& task);  // every field but id
int SetTaskCompleted(int id, int flag);
int DeleteTask(int id);
// Every task whose category exists, in the order of the task_sort setting.
std::vector<TaskRecord> ListTasks();
// The same tasks, each handed to `each` as it is read, so that a long list is
// never held twice. `each` must not write to the database.
void ListTasks(const std::function<void(const TaskRecord& task)>& each);
// The tasks with these ids, in one read, in id order; ids of no task are left out.
std::vector<TaskRecord> ListTasksById(const std::vector<int>& ids);

// For bulk work in one transaction (import, export): the statements of
// InsertTask and UpdateTask, and every task by id.
std::string InsertTaskSql(const TaskRecord& task);
std::string UpdateTaskSql(const TaskRecord& task);
std::vector<TaskRecord> ListTasks(DBL::Transaction& transaction);
