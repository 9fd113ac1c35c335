#include "element_names.h"

namespace
{

// Data elements of ISO 8583:1987 as {English, Chinese} pairs, indexed by bit
// number - 1. The 1993 and 2003 editions rename several of them; logs in the
// field mostly follow 1987, and so do the Chinese names, which are those of
// Chinese bank-card switching messages.
//
// 55 was left to ISO in 1987 but almost every network carries the chip card's
// EMV data there (tag-length-value), and Chinese practice names it so.
//
// 65 is called "Tertiary bitmap", not "Bitmap, extended": a set bit 65 is read
// the way a set bit 1 is, as "another bitmap follows", and "extended bitmap"
// (扩展位图) is what many logs and Chinese texts call the secondary bitmap, so
// that name here would send the reader to the wrong bitmap.
struct ElementName
{
    const char* english;
    const char* chinese;
};

const ElementName kNames[128] = {
    /*   1 */ {"Secondary bitmap",                             "第二位图"},
    /*   2 */ {"Primary account number",                       "主账号"},
    /*   3 */ {"Processing code",                              "交易处理码"},
    /*   4 */ {"Transaction amount",                           "交易金额"},
    /*   5 */ {"Settlement amount",                            "清算金额"},
    /*   6 */ {"Cardholder billing amount",                    "持卡人扣账金额"},
    /*   7 */ {"Transmission date and time",                   "交易传输时间"},
    /*   8 */ {"Cardholder billing fee amount",                "持卡人扣账手续费金额"},
    /*   9 */ {"Settlement conversion rate",                   "清算汇率"},
    /*  10 */ {"Cardholder billing conversion rate",           "持卡人扣账汇率"},
    /*  11 */ {"System trace audit number",                    "系统跟踪号"},
    /*  12 */ {"Local transaction time",                       "受卡方所在地时间"},
    /*  13 */ {"Local transaction date",                       "受卡方所在地日期"},
    /*  14 */ {"Expiration date",                              "卡有效期"},
    /*  15 */ {"Settlement date",                              "清算日期"},
    /*  16 */ {"Conversion date",                              "兑换日期"},
    /*  17 */ {"Capture date",                                 "受理日期"},
    /*  18 */ {"Merchant type",                                "商户类型"},
    /*  19 */ {"Acquiring institution country code",           "受理机构国家代码"},
    /*  20 */ {"PAN extended country code",                    "主账号扩展国家代码"},
    /*  21 */ {"Forwarding institution country code",          "发送机构国家代码"},
    /*  22 */ {"Point of service entry mode",                  "服务点输入方式码"},
    /*  23 */ {"Card sequence number",                         "卡序列号"},
    /*  24 */ {"Network international identifier",             "网络国际标识符"},
    /*  25 */ {"Point of service condition code",              "服务点条件码"},
    /*  26 */ {"Point of service PIN capture code",            "服务点PIN获取码"},
    /*  27 */ {"Authorization identification response length", "授权标识应答码长度"},
    /*  28 */ {"Transaction fee amount",                       "交易费金额"},
    /*  29 */ {"Settlement fee amount",                        "清算费金额"},
    /*  30 */ {"Transaction processing fee amount",            "交易处理费金额"},
    /*  31 */ {"Settlement processing fee amount",             "清算处理费金额"},
    /*  32 */ {"Acquiring institution identification code",    "受理机构标识码"},
    /*  33 */ {"Forwarding institution identification code",   "发送机构标识码"},
    /*  34 */ {"Extended primary account number",              "扩展主账号"},
    /*  35 */ {"Track 2 data",                                 "第二磁道数据"},
    /*  36 */ {"Track 3 data",                                 "第三磁道数据"},
    /*  37 */ {"Retrieval reference number",                   "检索参考号"},
    /*  38 */ {"Authorization identification response",        "授权标识应答码"},
    /*  39 */ {"Response code",                                "应答码"},
    /*  40 */ {"Service restriction code",                     "服务限制码"},
    /*  41 */ {"Card acceptor terminal identification",        "受卡机终端标识码"},
    /*  42 */ {"Card acceptor identification code",            "受卡方标识码"},
    /*  43 */ {"Card acceptor name and location",              "受卡方名称地址"},
    /*  44 */ {"Additional response data",                     "附加响应数据"},
    /*  45 */ {"Track 1 data",                                 "第一磁道数据"},
    /*  46 */ {"Additional data (ISO)",                        "附加数据（ISO）"},
    /*  47 */ {"Additional data (national)",                   "附加数据（国家）"},
    /*  48 */ {"Additional data (private)",                    "附加数据（私有）"},
    /*  49 */ {"Transaction currency code",                    "交易货币代码"},
    /*  50 */ {"Settlement currency code",                     "清算货币代码"},
    /*  51 */ {"Cardholder billing currency code",             "持卡人账户货币代码"},
    /*  52 */ {"PIN data",                                     "个人标识码数据"},
    /*  53 */ {"Security related control information",         "安全控制信息"},
    /*  54 */ {"Additional amounts",                           "附加金额"},
    /*  55 */ {"Reserved for ISO use (ICC data)",              "IC卡数据域"},
    /*  56 */ {"Reserved for ISO use",                         "ISO保留"},
    /*  57 */ {"Reserved for national use",                    "国家保留"},
    /*  58 */ {"Reserved for national use",                    "国家保留"},
    /*  59 */ {"Reserved for national use",                    "国家保留"},
    /*  60 */ {"Reserved for private use",                     "私有保留"},
    /*  61 */ {"Reserved for private use",                     "私有保留"},
    /*  62 */ {"Reserved for private use",                     "私有保留"},
    /*  63 */ {"Reserved for private use",                     "私有保留"},
    /*  64 */ {"Message authentication code",                  "报文鉴别码"},
    /*  65 */ {"Tertiary bitmap",                              "第三位图"},
    /*  66 */ {"Settlement code",                              "清算代码"},
    /*  67 */ {"Extended payment code",                        "扩展支付代码"},
    /*  68 */ {"Receiving institution country code",           "接收机构国家代码"},
    /*  69 */ {"Settlement institution country code",          "清算机构国家代码"},
    /*  70 */ {"Network management information code",          "网络管理信息码"},
    /*  71 */ {"Message number",                               "报文编号"},
    /*  72 */ {"Last message number",                          "最后报文编号"},
    /*  73 */ {"Action date",                                  "处理日期"},
    /*  74 */ {"Number of credits",                            "贷记交易笔数"},
    /*  75 */ {"Number of credit reversals",                   "贷记冲正笔数"},
    /*  76 */ {"Number of debits",                             "借记交易笔数"},
    /*  77 */ {"Number of debit reversals",                    "借记冲正笔数"},
    /*  78 */ {"Number of transfers",                          "转账交易笔数"},
    /*  79 */ {"Number of transfer reversals",                 "转账冲正笔数"},
    /*  80 */ {"Number of inquiries",                          "查询交易笔数"},
    /*  81 */ {"Number of authorizations",                     "授权交易笔数"},
    /*  82 */ {"Credits processing fee amount",                "贷记处理费金额"},
    /*  83 */ {"Credits transaction fee amount",               "贷记交易费金额"},
    /*  84 */ {"Debits processing fee amount",                 "借记处理费金额"},
    /*  85 */ {"Debits transaction fee amount",                "借记交易费金额"},
    /*  86 */ {"Credits amount",                               "贷记交易金额"},
    /*  87 */ {"Credit reversals amount",                      "贷记冲正金额"},
    /*  88 */ {"Debits amount",                                "借记交易金额"},
    /*  89 */ {"Debit reversals amount",                       "借记冲正金额"},
    /*  90 */ {"Original data elements",                       "原始数据元"},
    /*  91 */ {"File update code",                             "文件更新码"},
    /*  92 */ {"File security code",                           "文件安全码"},
    /*  93 */ {"Response indicator",                           "应答指示码"},
    /*  94 */ {"Service indicator",                            "服务指示码"},
    /*  95 */ {"Replacement amounts",                          "替换金额"},
    /*  96 */ {"Message security code",                        "报文安全码"},
    /*  97 */ {"Net settlement amount",                        "净清算金额"},
    /*  98 */ {"Payee",                                        "收款方"},
    /*  99 */ {"Settlement institution identification code",   "清算机构标识码"},
    /* 100 */ {"Receiving institution identification code",    "接收机构标识码"},
    /* 101 */ {"File name",                                    "文件名"},
    /* 102 */ {"Account identification 1",                     "账户标识1"},
    /* 103 */ {"Account identification 2",                     "账户标识2"},
    /* 104 */ {"Transaction description",                      "交易描述"},
    /* 105 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 106 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 107 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 108 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 109 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 110 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 111 */ {"Reserved for ISO use",                         "ISO保留"},
    /* 112 */ {"Reserved for national use",                    "国家保留"},
    /* 113 */ {"Reserved for national use",                    "国家保留"},
    /* 114 */ {"Reserved for national use",                    "国家保留"},
    /* 115 */ {"Reserved for national use",                    "国家保留"},
    /* 116 */ {"Reserved for national use",                    "国家保留"},
    /* 117 */ {"Reserved for national use",                    "国家保留"},
    /* 118 */ {"Reserved for national use",                    "国家保留"},
    /* 119 */ {"Reserved for national use",                    "国家保留"},
    /* 120 */ {"Reserved for private use",                     "私有保留"},
    /* 121 */ {"Reserved for private use",                     "私有保留"},
    /* 122 */ {"Reserved for private use",                     "私有保留"},
    /* 123 */ {"Reserved for private use",                     "私有保留"},
    /* 124 */ {"Reserved for private use",                     "私有保留"},
    /* 125 */ {"Reserved for private use",                     "私有保留"},
    /* 126 */ {"Reserved for private use",                     "私有保留"},
    /* 127 */ {"Reserved for private use",                     "私有保留"},
    /* 128 */ {"Message authentication code",                  "报文鉴别码"},
};

} // namespace

const char* DataElementName(std::uint32_t bit)
{
    return bit >= 1 && bit <= 128 ? kNames[bit - 1].english : nullptr;
}

const char* DataElementNameZh(std::uint32_t bit)
{
    return bit >= 1 && bit <= 128 ? kNames[bit - 1].chinese : nullptr;
}
