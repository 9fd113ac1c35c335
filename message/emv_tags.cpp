#include "emv_tags.h"

#include <algorithm>
#include <iterator>

namespace message
{

namespace
{

// Sorted by tag value, so every one-byte tag comes before the two-byte ones.
// Names follow EMV 4.4 Book 3; the Chinese ones PBOC usage. Kernel and
// terminal-parameter tags (DF01-DF21 and the like) travel elsewhere and are
// left out so that a field 55 tag found here is one that belongs there.
constexpr EmvTag kTags[] = {
    {0x4F, "Application Identifier (AID) - card", "应用标识符", "b"},
    {0x50, "Application Label", "应用标签", "ans 1-16"},
    {0x56, "Track 1 Data", "磁条1数据", "ans"},
    {0x57, "Track 2 Equivalent Data", "磁条2等效数据", "b"},
    {0x5A, "Application Primary Account Number (PAN)", "应用主账号", "cn ..19"},
    {0x70, "READ RECORD Response Message Template", "读记录响应报文模板", "b"},
    {0x71, "Issuer Script Template 1", "发卡行脚本模板1", "b"},
    {0x72, "Issuer Script Template 2", "发卡行脚本模板2", "b"},
    {0x77, "Response Message Template Format 2", "响应报文模板格式2", "b"},
    {0x81, "Amount, Authorised (Binary)", "授权金额[二进制]", "b"},
    {0x82, "Application Interchange Profile", "应用交互特征", "b"},
    {0x84, "Dedicated File (DF) Name", "专用文件名称", "b"},
    {0x86, "Issuer Script Command", "发卡行脚本命令", "b"},
    {0x89, "Authorisation Code", "授权码", "an 6"},
    {0x8A, "Authorisation Response Code", "授权响应码", "an 2"},
    {0x8C, "Card Risk Management Data Object List 1 (CDOL1)", "卡片风险管理数据对象列表1", "b"},
    {0x8D, "Card Risk Management Data Object List 2 (CDOL2)", "卡片风险管理数据对象列表2", "b"},
    {0x8E, "Cardholder Verification Method (CVM) List", "持卡人验证方法列表", "b"},
    {0x8F, "Certification Authority Public Key Index", "认证中心公钥索引", "b"},
    {0x90, "Issuer Public Key Certificate", "发卡行公钥证书", "b"},
    {0x91, "Issuer Authentication Data", "发卡行认证数据", "b"},
    {0x95, "Terminal Verification Results", "终端验证结果", "b"},
    {0x9A, "Transaction Date", "交易日期", "n 6"},
    {0x9B, "Transaction Status Information", "交易状态信息", "b"},
    {0x9C, "Transaction Type", "交易类型", "n 2"},
    {0x5F20, "Cardholder Name", "持卡人姓名", "ans 2-26"},
    {0x5F24, "Application Expiration Date", "应用失效日期", "n 6"},
    {0x5F25, "Application Effective Date", "应用生效日期", "n 6"},
    {0x5F28, "Issuer Country Code", "发卡行国家代码", "n 3"},
    {0x5F2A, "Transaction Currency Code", "交易货币代码", "n 3"},
    {0x5F30, "Service Code", "服务码", "n 3"},
    {0x5F34, "Application PAN Sequence Number", "应用主账号序列号", "n 2"},
    {0x5F36, "Transaction Currency Exponent", "交易货币指数", "n 1"},
    {0x9F01, "Acquirer Identifier", "收单行标识", "n 6-11"},
    {0x9F02, "Amount, Authorised (Numeric)", "授权金额", "n 12"},
    {0x9F03, "Amount, Other (Numeric)", "其它金额", "n 12"},
    {0x9F04, "Amount, Other (Binary)", "其它金额[二进制]", "b"},
    {0x9F06, "Application Identifier (AID) - terminal", "应用标识-终端", "b"},
    {0x9F07, "Application Usage Control", "应用用途控制", "b"},
    {0x9F08, "Application Version Number - card", "应用版本号", "b"},
    {0x9F09, "Application Version Number - terminal", "终端应用版本号", "b"},
    {0x9F0D, "Issuer Action Code - Default", "发卡行行为代码-缺省", "b"},
    {0x9F0E, "Issuer Action Code - Denial", "发卡行行为代码-拒绝", "b"},
    {0x9F0F, "Issuer Action Code - Online", "发卡行行为代码-联机", "b"},
    {0x9F10, "Issuer Application Data", "发卡行应用数据", "b"},
    {0x9F12, "Application Preferred Name", "应用首选名称", "ans 1-16"},
    {0x9F15, "Merchant Category Code", "商户分类码", "n 4"},
    {0x9F16, "Merchant Identifier", "商户标识", "ans 15"},
    {0x9F18, "Issuer Script Identifier", "发卡行脚本标识", "b"},
    {0x9F1A, "Terminal Country Code", "终端国家代码", "n 3"},
    {0x9F1B, "Terminal Floor Limit", "终端最低限额", "b"},
    {0x9F1C, "Terminal Identification", "终端标识", "an 8"},
    {0x9F1D, "Terminal Risk Management Data", "终端风险管理数据", "b"},
    {0x9F1E, "Interface Device (IFD) Serial Number", "接口设备序列号", "an 8"},
    {0x9F1F, "Track 1 Discretionary Data", "磁条1自定义数据", "ans"},
    {0x9F20, "Track 2 Discretionary Data", "磁条2自定义数据", "cn"},
    {0x9F21, "Transaction Time", "交易时间", "n 6"},
    {0x9F24, "Payment Account Reference (PAR)", "支付账户参考号", "an 29"},
    {0x9F26, "Application Cryptogram", "应用密文", "b"},
    {0x9F27, "Cryptogram Information Data", "密文信息数据", "b"},
    {0x9F33, "Terminal Capabilities", "终端性能", "b"},
    {0x9F34, "Cardholder Verification Method (CVM) Results", "持卡人验证方法结果", "b"},
    {0x9F35, "Terminal Type", "终端类型", "n 2"},
    {0x9F36, "Application Transaction Counter (ATC)", "应用交易计数器", "b"},
    {0x9F37, "Unpredictable Number", "不可预知数", "b"},
    {0x9F39, "Point-of-Service (POS) Entry Mode", "销售点输入方式", "n 2"},
    {0x9F40, "Additional Terminal Capabilities", "附加终端性能", "b"},
    {0x9F41, "Transaction Sequence Counter", "交易序列计数器", "n 4-8"},
    {0x9F42, "Application Currency Code", "应用货币代码", "n 3"},
    {0x9F45, "Data Authentication Code", "数据认证码", "b"},
    {0x9F4C, "ICC Dynamic Number", "IC动态数", "b"},
    {0x9F4E, "Merchant Name and Location", "商户名称和地址", "ans"},
    {0x9F53, "Transaction Category Code (Mastercard) / Terminal Interchange Profile (JCB) / "
             "Consecutive Transaction Counter International Limit (PBOC)",
     "交易类别码(万事达) / 终端交互特征(JCB) / 连续脱机交易计数器(PBOC)", "an 1 / b"},
    {0x9F5B, "Issuer Script Results (Visa) / Data Storage Data Object List (Mastercard)",
     "发卡行脚本结果(Visa) / 数据存储数据对象列表(万事达)", "b"},
    {0x9F5D, "Available Offline Spending Amount (Visa, PBOC) / Application Capabilities Information (Mastercard)",
     "可用脱机消费金额(Visa、PBOC) / 应用能力信息(万事达)", "n 12 / b"},
    {0x9F61, "Cardholder ID Number (PBOC) / CVC3 Track 2 (Mastercard)", "持卡人证件号(PBOC) / 磁条2 CVC3(万事达)",
     "an / b"},
    {0x9F62, "Cardholder ID Type (PBOC) / Track 1 Bit Map for CVC3 (Mastercard)",
     "持卡人证件类型(PBOC) / 磁条1 CVC3位图(万事达)", "cn 1 / b"},
    {0x9F63, "Product Identification Information (PBOC) / Offline Counter Initial Value / "
             "Track 1 Bit Map for UN and ATC (Mastercard)",
     "产品标识信息(PBOC) / 脱机计数器初始值 / 磁条1不可预知数和ATC位图(万事达)", "b"},
    {0x9F66, "Terminal Transaction Qualifiers (TTQ)", "终端交易属性", "b"},
    {0x9F6B, "Track 2 Data (Mastercard)", "磁条2数据(万事达)", "b"},
    {0x9F6C, "Card Transaction Qualifiers (CTQ)", "卡片交易属性", "b"},
    {0x9F6D, "Electronic Cash Reset Threshold (PBOC) / Mag-stripe Application Version Number, Reader (Mastercard)",
     "电子现金重置阈值(PBOC) / 磁条应用版本号-读卡器(万事达)", "n 12 / b"},
    {0x9F6E, "Form Factor Indicator (Visa) / Third Party Data (Mastercard) / "
             "Enhanced Contactless Reader Capabilities (Amex)",
     "形态因子指示器(Visa) / 第三方数据(万事达) / 增强型非接读卡器能力(美国运通)", "b"},
    {0x9F74, "Electronic Cash Issuer Authorisation Code (PBOC) / VLP Issuer Authorisation Code (Visa)",
     "电子现金发卡行授权码", "a 6"},
    {0x9F7C, "Customer Exclusive Data (Visa) / Merchant Custom Data (Mastercard, PBOC)",
     "客户专用数据(Visa) / 商户自定义数据(万事达、PBOC)", "b"},
    {0xDF31, "Issuer Script Results (PBOC)", "发卡行脚本处理结果", "b"},
};

constexpr bool IsSortedByTag()
{
    for (std::size_t i = 1; i < std::size(kTags); ++i)
        if (kTags[i - 1].tag >= kTags[i].tag)
            return false;
    return true;
}
static_assert(IsSortedByTag(), "FindEmvTag's binary search needs the table in ascending tag order");

} // namespace

const EmvTag* FindEmvTag(std::uint32_t tag)
{
    const auto* found = std::lower_bound(std::begin(kTags), std::end(kTags), tag,
                                         [](const EmvTag& entry, std::uint32_t key) { return entry.tag < key; });
    return found != std::end(kTags) && found->tag == tag ? found : nullptr;
}

} // namespace message
