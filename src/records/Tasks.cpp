#include "records/Tasks.h"

#include "app/AppBase.h"
#include "db/QueryRow.h"
#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;
using DBL::RealToString;
using RecordRows::DayText;
using RecordRows::Quoted;

namespace {

template <class Row>
TaskRecord ReadTask(const Row& row) {
  TaskRecord task;
  task.id = row.GetInt("id");
  task.category_id = row.GetInt("category_id");
  task.priority_id = row.GetInt("priority_id");
  task.name = row.GetString("name");
  task.description = row.GetString("description");
  task.deadline = row.GetInt("deadline");
  task.deadline_time = row.GetInt("deadline_time");
  task.completed = row.GetInt("completed");
  task.due_date = row.GetDouble("due_date");
  task.due_time = row.GetDouble("due_time");
  task.warning = row.GetInt("warning");
  task.updated_warning = row.GetInt("updated_warning");
  return task;
}

const char* OrderClause(int taskSort) {
  switch (taskSort) {
    case 0: return " order by lower(task.name)";
    case 1: return " order by due_date, due_time";
    case 2: return "order by priority_id";
    case 3: return "order by lower(catname)";
    default: return "";
  }
}

}  // namespace

TaskRecord LoadTask(int id) {
  return RecordRows::ReadFirst(
      "select id, category_id, priority_id, name, description,deadline,deadline_time, due_date, due_time, warning, "
      "updated_warning, completed from task where id = " + IntToString(id),
      ReadTask<DBL::MemResultSet>, TaskRecord{});
}

int InsertTask(const TaskRecord& task) { return DBL::ExecuteInsert(InsertTaskSql(task)); }

std::string InsertTaskSql(const TaskRecord& t) {
  const std::string common = IntToString(t.category_id) + "," + IntToString(t.priority_id) + "," + Quoted(t.name) +
                             "," + Quoted(t.description) + "," + IntToString(t.deadline);
  if (t.deadline == 0) {
    return "insert into task (category_id, priority_id, name, description,deadline) values (" + common + ")";
  }
  return (
      "insert into task (category_id, priority_id, name, description,deadline, deadline_time, due_date, due_time, "
      "warning) values ( " + common + "," + IntToString(t.deadline_time) + "," + DayText(t.due_date) + "," +
      RealToString(t.due_time) + "," + IntToString(t.warning) + ")");
}

int UpdateTask(const TaskRecord& task) { return DBL::ExecuteUpdate(UpdateTaskSql(task)); }

std::string UpdateTaskSql(const TaskRecord& t) {
  return (
      "update task set completed = " + IntToString(t.completed) + ",deadline = " + IntToString(t.deadline) +
      ",deadline_time = " + IntToString(t.deadline_time) + ",due_date = " + DayText(t.due_date) +
      ",due_time = " + RealToString(t.due_time) + ",category_id = " + IntToString(t.category_id) +
      ",priority_id = " + IntToString(t.priority_id) + ",updated_warning = " + IntToString(t.updated_warning) +
      ",warning = " + IntToString(t.warning) + ",description = " + Quoted(t.description) +
      ",name = " + Quoted(t.name) + " where id = " + IntToString(t.id));
}

int SetTaskCompleted(int id, int flag) {
  return DBL::ExecuteUpdate("update task set completed = " + IntToString(flag) + " where id = " + IntToString(id));
}

int DeleteTask(int id) { return DBL::ExecuteDelete("delete from task where id = " + IntToString(id)); }

std::vector<TaskRecord> ListTasks() {
  std::vector<TaskRecord> tasks;
  ListTasks([&tasks](const TaskRecord& task) { tasks.push_back(task); });
  return tasks;
}

void ListTasks(const std::function<void(const TaskRecord& task)>& each) {
  DBL::ExecuteQueryEach(
      "select task.id as id,task.name as name, category.id as catid, category_id, priority_id, category.name as "
      "catname, description, deadline,deadline_time,due_date, due_time, warning, updated_warning, completed from "
      "task, category where task.category_id = category.id " +
          std::string(OrderClause(GetApp().GetSettings().GetTaskSort())),
      [&each](const DBL::QueryRow& row) { each(ReadTask(row)); });
}

std::vector<TaskRecord> ListTasksById(const std::vector<int>& ids) {
  if (ids.empty()) return {};
  return RecordRows::ReadAll<TaskRecord>(
      "select id, category_id, priority_id, name, description,deadline,deadline_time, due_date, due_time, warning, "
      "updated_warning, completed from task where id in (" + RecordRows::IdList(ids) + ") order by id",
      ReadTask<DBL::MemResultSet>);
}

std::vector<TaskRecord> ListTasks(DBL::Transaction& transaction) {
  return RecordRows::ReadRows<TaskRecord>(transaction.Query(
      "select id, category_id, priority_id, name, description,deadline,deadline_time, due_date, due_time, warning, "
      "updated_warning, completed from task order by id"), ReadTask<DBL::MemResultSet>);
}

double TaskDueMoment(const TaskRecord& task) { return task.due_date + (task.deadline_time ? task.due_time : 0.0); }
