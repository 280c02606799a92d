// The add-in under test: a CTessary on test platform services, connected to a
// RecordingRepository that answers as a modern host with a model open.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/tessary.h"
#include "support/recording_repository.h"
#include "support/test_platform.h"

namespace addin {

class AddinTest : public testing::Test {
 protected:
  AddinTest() {
    repository_->build_number = 1558;
    repository_->model_location = "/models/car.obx";
    addin_.Orba_Connect(repository_);
    repository_->ClearCalls();
  }

  std::vector<platform::RecordedMessageBox> Boxes() const { return platform_.ui->MessageBoxes(); }
  static platform::RecordedMessageBox Warning(const std::string& text) {
    return {text, "Quindle Technology for SysML", platform::MessageIcon::kExclamation};
  }

  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  std::shared_ptr<testing_support::RecordingRepository> repository_ =
      std::make_shared<testing_support::RecordingRepository>();
};

}  // namespace addin
