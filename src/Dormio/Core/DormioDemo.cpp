#include "Dormio/Core/DormioDemo.h"

namespace dormio {

DormioDemo& DormioDemo::shared() {
    static DormioDemo demo;
    return demo;
}

} // namespace dormio
