// A component for tests: records its calls in a shared journal, counts its
// initialisations and carries one member of every serializable kind.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "objects/base_component.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace testing_support {

class Probe : public objects::BaseComponent {
 public:
  // `type`: the name the probe is stored under when added by pointer.
  explicit Probe(std::string type = "Probe") : BaseComponent(std::move(type)) {}

  // "<object>/<type>.<call>" lines in call order, shared by all probes.
  static std::vector<std::string>& Journal() {
    static std::vector<std::string> journal;
    return journal;
  }

  void Update(float) override { Record("Update"); }
  void LateUpdate(float) override { Record("LateUpdate"); }
  void Draw() override { Record("Draw"); }
  bool Initialize() override {
    ++initializations;
    Record("Initialize");
    return succeed;
  }

  std::int32_t count = 7;
  float factor = 0.5f;
  std::string label = "none";
  bool flag = false;
  std::vector<std::int32_t> ints{9};
  std::vector<float> floats{9.5f};
  bool succeed = true;
  std::int32_t initializations = 0;

 private:
  void Record(const char* call) {
    Journal().push_back((GetOwner() != nullptr ? GetOwner()->GetName() : std::string("?")) + "/" + GetType() +
                        "." + call);
  }
};

// Registers Probe under `name` with the members count, factor, label, flag, ints,
// floats, succeed (the last field is unnamed).
inline void RegisterProbe(objects::TypeRegistry& registry, const std::string& name) {
  using objects::MemberType;
  registry.RegisterType<Probe>(name)
      .AddHeaderMember()
      .Add("count", VELMARIS_FIELD(Probe, count))
      .Add("factor", VELMARIS_FIELD(Probe, factor))
      .Add("label", VELMARIS_FIELD(Probe, label))
      .Add("flag", VELMARIS_FIELD(Probe, flag))
      .Add("ints", VELMARIS_FIELD(Probe, ints))
      .Add("floats", VELMARIS_FIELD(Probe, floats))
      .Add("succeed", VELMARIS_FIELD(Probe, succeed))
      .Add("", VELMARIS_FIELD(Probe, initializations))
      .FinishType();
}

}  // namespace testing_support
