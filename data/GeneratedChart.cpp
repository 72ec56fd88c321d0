// Deterministic generator of large charts of accounts. Parents are picked grade by grade with
// weights that fall off geometrically, so every grade is populated and lower grades are the
// widest, as in real charts.
#include "data/GeneratedChart.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sarvo::data {

namespace {

// splitmix64: small, fast and the same on every platform (the standard distributions are not).
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(1000) < percent * 10; }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }

private:
    uint64_t m_state;
};

struct Word {
    const char16_t* name;
    const char* initials;
    const char* english;
};

// First-grade stems per class, in the order of the enterprise classes.
const std::array<std::vector<Word>, 6> firstGradeWords = {{
    {{u"现金", "XJ", "Cash"},
     {u"存款", "CK", "Deposits"},
     {u"应收款项", "YSKX", "Receivables"},
     {u"存货", "CH", "Inventories"},
     {u"投资", "TZ", "Investments"},
     {u"设备", "SB", "Equipment"},
     {u"房产", "FC", "Buildings"},
     {u"预付款项", "YFKX", "Prepayments"},
     {u"无形资产", "WXZC", "Intangible assets"}},
    {{u"借款", "JK", "Borrowings"},
     {u"应付款项", "YFKX", "Payables"},
     {u"预收款项", "YSKX", "Advances received"},
     {u"应交税金", "YJSJ", "Taxes payable"},
     {u"应付薪酬", "YFXC", "Wages payable"},
     {u"债券", "ZQ", "Bonds"},
     {u"保证金", "BZJ", "Deposits received"},
     {u"租赁负债", "ZLFZ", "Lease liabilities"}},
    {{u"清算款项", "QSKX", "Clearing items"},
     {u"衍生工具", "YSGJ", "Derivatives"},
     {u"套期工具", "TQGJ", "Hedging instruments"},
     {u"货币兑换", "HBDH", "Currency exchange"}},
    {{u"股本", "GB", "Share capital"},
     {u"资本公积", "ZBGJ", "Capital reserve"},
     {u"盈余公积", "YYGJ", "Surplus reserve"},
     {u"未分配利润", "WFPLR", "Retained earnings"},
     {u"专项储备", "ZXCB", "Special reserve"}},
    {{u"生产成本", "SCCB", "Production costs"},
     {u"制造费用", "ZZFY", "Manufacturing overhead"},
     {u"研发支出", "YFZC", "R&D expenditure"},
     {u"合同履约成本", "HTLYCB", "Contract fulfilment costs"},
     {u"劳务成本", "LWCB", "Service costs"}},
    {{u"营业收入", "YYSR", "Operating revenue"},
     {u"营业成本", "YYCB", "Operating costs"},
     {u"销售费用", "XSFY", "Selling expenses"},
     {u"管理费用", "GLFY", "Administrative expenses"},
     {u"财务费用", "CWFY", "Financial expenses"},
     {u"投资收益", "TZSY", "Investment income"},
     {u"营业外收支", "YYWSZ", "Non-operating items"}},
}};

// Stems of the deeper grades: the ways charts are broken down in practice.
const std::vector<Word> detailWords = {
    {u"明细", "MX", "Detail"},
    {u"项目", "XM", "Project"},
    {u"部门", "BM", "Department"},
    {u"分部", "FB", "Segment"},
    {u"地区", "DQ", "Region"},
    {u"客户组", "KHZ", "Customer group"},
    {u"供应商组", "GYSZ", "Supplier group"},
    {u"产品线", "CPX", "Product line"},
    {u"业务线", "YWX", "Business line"},
    {u"合同", "HT", "Contract"},
    {u"批次", "PC", "Batch"},
    {u"专户", "ZH", "Special account"},
    {u"门店", "MD", "Store"},
    {u"车间", "CJ", "Workshop"},
    {u"仓库", "CK", "Warehouse"},
    {u"工程", "GC", "Works"},
};

// The auxiliary combinations of the attribute display: P person, C customer, S supplier,
// D department, I project.
const char* const auxiliaryCombinations[] = {"P",  "C",  "S",  "D",  "I",   "CD", "DI",
                                             "CI", "SD", "SI", "PI", "CDI", "SDI"};
const char16_t* const itemClasses[] = {u"工程项目", u"研发项目", u"销售合同"};
const char16_t* const currencies[] = {u"美元", u"欧元", u"日元", u"港币"};
const char16_t* const units[] = {u"吨", u"千克", u"件", u"台", u"米", u"箱"};

constexpr uint64_t seed = 0x5A52564F43484152ULL;

void describe(ChartAccount& a, const Word& word, const QString& digits) {
    a.name = QString::fromUtf16(word.name) + digits;
    a.chelp = QString::fromLatin1(word.initials) + digits;
    a.english = QString::fromLatin1(word.english) + u' ' + digits;
}

void fillAttributes(ChartAccount& a, Random& random) {
    if (random.chance(22)) {
        const char* combination = auxiliaryCombinations[random.below(std::size(auxiliaryCombinations))];
        for (const char* f = combination; *f; ++f) {
            switch (*f) {
            case 'P':
                a.person = true;
                break;
            case 'C':
                a.customer = true;
                break;
            case 'S':
                a.supplier = true;
                break;
            case 'D':
                a.department = true;
                break;
            case 'I':
                a.project = true;
                break;
            }
        }
        if (a.project) a.itemClass = QString::fromUtf16(itemClasses[random.below(std::size(itemClasses))]);
    }
    if (random.chance(6)) {
        a.journal = true;
        a.bank = random.chance(50);
    }
    a.closed = random.chance(2);
    if (random.chance(5)) a.currency = QString::fromUtf16(currencies[random.below(std::size(currencies))]);
    if (random.chance(5)) a.unit = QString::fromUtf16(units[random.below(std::size(units))]);
}

} // namespace

Chart GeneratedChart::build(int count, const std::vector<int>& gradeLengths, const QStringList& classNames,
                            std::vector<int> years) {
    if (count < 1 || count > maxAccounts)
        raise(ErrorCode::InvalidProcedureCall,
              QStringLiteral("generated: the number of accounts must be 1 to %1, not %2")
                  .arg(maxAccounts)
                  .arg(count));
    const int classes = static_cast<int>(classNames.size());
    if (classes < 1 || classes > 9)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("generated: needs 1 to 9 account classes"));
    const int grades = static_cast<int>(gradeLengths.size());
    const int firstDigits = gradeLengths.at(0) - 1;
    if (firstDigits < 1 || firstDigits > 6)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("generated: grade 1 needs 2 to 7 digits"));
    std::vector<int> childDigits(static_cast<size_t>(grades), 0);
    for (int g = 1; g < grades; ++g) {
        childDigits[static_cast<size_t>(g)] =
            gradeLengths[static_cast<size_t>(g)] - gradeLengths[static_cast<size_t>(g - 1)];
        if (childDigits[static_cast<size_t>(g)] < 2)
            raise(ErrorCode::InvalidProcedureCall,
                  QStringLiteral("generated: every grade after the first needs 2 digits"));
    }
    const int maxFirst = static_cast<int>(std::pow(10, firstDigits)) - 1;
    const int maxChildren = 99; // realistic fan-out, and what two digits allow

    Chart chart(gradeLengths, classNames, std::move(years));
    chart.reserve(count);
    Random random(seed);
    std::vector<int> childCount;
    childCount.reserve(static_cast<size_t>(count));
    // Per grade, the accounts that can still take a child.
    std::vector<std::vector<int>> open(static_cast<size_t>(grades));

    auto addAccount = [&](ChartAccount a) {
        fillAttributes(a, random);
        const int index = static_cast<int>(chart.accounts().size());
        chart.add(std::move(a));
        childCount.push_back(0);
        const int grade = chart.accounts().back().grade;
        if (grade < grades) open[static_cast<size_t>(grade - 1)].push_back(index);
        return index;
    };
    auto addChild = [&](int parent) {
        const ChartAccount& p = chart.accounts()[static_cast<size_t>(parent)];
        const int n = ++childCount[static_cast<size_t>(parent)];
        const QString digits =
            QString::number(n).rightJustified(childDigits[static_cast<size_t>(p.grade)], u'0');
        ChartAccount a;
        a.cclass = p.cclass;
        a.ccode = p.ccode + digits;
        describe(a, detailWords[static_cast<size_t>(random.below(static_cast<int>(detailWords.size())))],
                 digits);
        return addAccount(std::move(a));
    };

    // Grade 1: about one account in a hundred, dealt to the classes in turn.
    const int first =
        grades == 1 ? count
                    : std::clamp(count / 100, std::min(count, classes), std::min(count, classes * maxFirst));
    if (first > classes * maxFirst)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("generated: the code scheme is full"));
    for (int i = 0; i < first; ++i) {
        const int c = i % classes;
        const QString digits = QString::number(i / classes + 1).rightJustified(firstDigits, u'0');
        ChartAccount a;
        a.cclass = classNames[c];
        a.ccode = QString::number(c + 1) + digits;
        const auto& words = firstGradeWords[static_cast<size_t>(c) % firstGradeWords.size()];
        describe(a, words[static_cast<size_t>(random.below(static_cast<int>(words.size())))], digits);
        addAccount(std::move(a));
    }
    int remaining = count - first;

    // One branch per class reaching the deepest grade, while the budget allows.
    for (int c = 0; c < classes && c < first && remaining >= grades - 1; ++c) {
        int parent = c;
        for (int g = 1; g < grades; ++g)
            parent = addChild(parent);
        remaining -= grades - 1;
    }

    // The rest: pick the parent's grade with weights falling by a quarter per grade.
    std::vector<double> weight(static_cast<size_t>(std::max(grades - 1, 1)));
    double total = 0;
    for (size_t g = 0; g < weight.size(); ++g)
        total += (weight[g] = std::pow(0.75, static_cast<double>(g)));
    for (; remaining > 0 && grades > 1; --remaining) {
        double r = random.unit() * total;
        int g = 0;
        while (g + 1 < static_cast<int>(weight.size()) && r >= weight[static_cast<size_t>(g)])
            r -= weight[static_cast<size_t>(g++)];
        while (g >= 0 && open[static_cast<size_t>(g)].empty())
            --g; // a full grade hands over to the one above
        if (g < 0)
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("generated: the code scheme is full"));
        auto& candidates = open[static_cast<size_t>(g)];
        const int slot = random.below(static_cast<int>(candidates.size()));
        const int parent = candidates[static_cast<size_t>(slot)];
        addChild(parent);
        if (childCount[static_cast<size_t>(parent)] == maxChildren) {
            candidates[static_cast<size_t>(slot)] = candidates.back();
            candidates.pop_back();
        }
    }
    return chart;
}

} // namespace sarvo::data
