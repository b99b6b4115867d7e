#pragma once

#include "ui/DlgBase.h"

class CButtonST;
class CColorEdit;
class CColorListCtrl;

// Adds and deletes the categories of one kind of record (0 tasks, 1 contacts,
// 3 notes); existing categories are never changed here. Closing with "Close
// Window" ends with OK, so the editor that opened it reloads its categories;
// Escape or the window's close end with Cancel.
class DlgMngCategories : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 114 };
  enum {
    kIdTitle = 1070,
    kIdList = 1076,
    kIdAdd = 1004,
    kIdNameLabel = 1078,
    kIdName = 1030,
    kIdCommentLabel = 1079,
    kIdComment = 1077,
    kIdDelete = 1037,
  };

  explicit DlgMngCategories(int kind, QWidget* parent = nullptr);

  int GetKind() const { return m_kind; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  // Return in the name or comment field adds the category typed there.
  void keyPressEvent(QKeyEvent* event) override;
  void OnPaint(QPainter& painter) override;

 private:
  void FillList();
  void OnAddClicked();
  void OnDeleteClicked();

  int m_kind;
  CColorListCtrl* m_list;
  CColorEdit* m_name;
  CColorEdit* m_comment;
  CButtonST* m_add;
  CButtonST* m_delete;
  CButtonST* m_close;
};
