// frmAbout: the add-in's name and version.
#pragma once

#include "host/repository.h"
#include "platform/ui.h"
#include "ui/form.h"

namespace ui {

class AboutDialog : public Form {
 public:
  AboutDialog();

  // Keeps Repository while the dialog is shown modally; returns once it has closed.
  void ShowIt(const host::RepositoryPtr& Repository, platform::Ui& ui);

  void Load() override;
  void Click(const std::string& control) override;
  void CloseBox() override { Close(); }

  const host::RepositoryPtr& Repository() const { return repository_; }

 private:
  void Close();
  host::RepositoryPtr repository_;
};

}  // namespace ui
