// The document company the costing tests start from: its main menu is reached and its registers
// read back.
#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

TEST(CostingCompany, PreparedWithRegisters) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + "{dump}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_NE(row_of(r, 0, 3).find("2.Unos"), std::string::npos);
    EXPECT_EQ(records(inst / "001" / "mdart.dbf").size(), 6u);
    EXPECT_EQ(records(inst / "001" / "mddob.dbf").size(), 4u);
}

}  // namespace
