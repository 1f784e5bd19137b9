// Refunds settled against the purchases they refund, and the trades a statement sends twice.
#include "BillImport.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/KeptFigures.h"

#include <QHash>
#include <cmath>

void SettleRefunds(std::vector<BillRow> &rows, qsizetype firstRecord)
{
    // The purchases a refund may belong to, by merchant order, order number and counterparty.
    QHash<QString, size_t> byMerchantOrder, byOrder;
    QHash<QString, std::vector<size_t>> byCounterparty;
    bool anyRefund = false;
    for (size_t r = 0; r < rows.size(); ++r) {
        const BillRow &row = rows[r];
        anyRefund = anyRefund || row.refund;
        // A purchase whose status counts its refund may show nothing left to pay: what it paid tells.
        const bool purchase = !row.refund
                              && ((row.kind == BillRow::Kind::Record && row.amount < 0)
                                  || (row.kind == BillRow::Kind::Skipped && row.refundCounted && row.paid < 0));
        if (!purchase)
            continue;
        if (!row.merchantOrder.isEmpty())
            byMerchantOrder.insert(row.merchantOrder, r);
        if (!row.order.isEmpty())
            byOrder.insert(row.order, r);
        if (!row.counterparty.isEmpty())
            byCounterparty[row.counterparty].push_back(r);
    }
    if (!anyRefund)
        return;
    const auto findPurchase = [&](const BillRow &refund) -> qsizetype {
        if (auto at = byMerchantOrder.constFind(refund.merchantOrder); !refund.merchantOrder.isEmpty() && at != byMerchantOrder.cend())
            return qsizetype(*at);
        // A refund's order number is often its purchase's with a suffix ("…_1", "…*退款").
        for (qsizetype cut = refund.order.size(); cut >= 16; --cut) {
            if (auto at = byOrder.constFind(refund.order.left(cut)); at != byOrder.cend())
                return qsizetype(*at);
        }
        // The nearest purchase from the same counterparty large enough, the earlier ones first.
        qsizetype best = -1;
        qint64 bestDistance = 0;
        for (size_t r : byCounterparty.value(refund.counterparty)) {
            const BillRow &purchase = rows[r];
            // One whose status counts a refund is measured by what it paid: the refund's row is the
            // one it counts (already all given back, a purchase is left for a further refund no more).
            const double large = purchase.refundCounted ? std::fabs(purchase.paid) : std::fabs(purchase.amount);
            if ((purchase.kind != BillRow::Kind::Record && !purchase.refundCounted) || large * 100.0 + 0.5 < refund.amount * 100.0)
                continue;
            const qint64 seconds = purchase.date.secsTo(refund.date);
            const qint64 distance = seconds >= 0 ? seconds : (qint64(1) << 40) - seconds;  // a later purchase only when no earlier
            if (best < 0 || distance < bestDistance) {
                best = qsizetype(r);
                bestDistance = distance;
            }
        }
        return best;
    };
    QHash<qsizetype, double> givenBack;  // by purchase, what the refunds settled so far took off
    for (BillRow &refund : rows) {
        if (!refund.refund)
            continue;
        const qsizetype at = refund.counterparty.isEmpty() && refund.order.isEmpty() && refund.merchantOrder.isEmpty()
                                 ? -1
                                 : findPurchase(refund);
        if (at < 0) {
            // Its purchase was in an earlier bill: the money came back all the same.
            refund.kind = BillRow::Kind::Record;
            refund.reason = QStringLiteral("退款，原交易不在本账单中，记为收入");
            continue;
        }
        BillRow &purchase = rows[size_t(at)];
        const QString line = QString::number(firstRecord + at);
        if (purchase.kind != BillRow::Kind::Record && !purchase.refundCounted) {
            refund.kind = BillRow::Kind::Record;  // given back whole by an earlier refund already
            refund.reason = QStringLiteral("退款，第 %1 行的原交易已全额退款，记为收入").arg(line);
            continue;
        }
        if (purchase.refundCounted) {
            refund.reason = QStringLiteral("退款，已在第 %1 行的原交易中扣除").arg(line);
            continue;
        }
        purchase.amount = double(ToCents(purchase.amount + refund.amount)) / 100.0;
        refund.reason = QStringLiteral("退款，已从第 %1 行的支出中扣除").arg(line);
        if (purchase.amount >= 0) {
            // Given back more than it cost (a refund with a compensation, refunds adding up past it):
            // the money over it came in all the same.
            const double over = purchase.amount;
            purchase.kind = BillRow::Kind::Skipped;
            purchase.amount = 0;
            purchase.reason = QStringLiteral("已全额退款");
            if (over > 0) {
                refund.kind = BillRow::Kind::Record;
                refund.amount = over;
                refund.reason = QStringLiteral("退款，超出第 %1 行原交易的 %2 记为收入").arg(line, TrimAmount(over));
            }
        } else {
            purchase.reason = QStringLiteral("已扣除退款 %1").arg(TrimAmount(givenBack[at] += refund.amount));
        }
    }
}

void SkipRepeatedTrades(std::vector<BillRow> &rows, qsizetype firstRecord)
{
    QHash<QString, qsizetype> first;
    for (size_t r = 0; r < rows.size(); ++r) {
        BillRow &row = rows[r];
        if (row.kind != BillRow::Kind::Record || row.order.isEmpty())
            continue;
        const QString key = row.order + QLatin1Char('\n') + ListDateText(row.date) + QLatin1Char('\n') + QString::number(ToCents(row.amount));
        const auto seen = first.constFind(key);
        if (seen == first.cend()) {
            first.insert(key, qsizetype(r));
            continue;
        }
        row.kind = BillRow::Kind::Skipped;
        row.reason = QStringLiteral("交易编号重复（与第 %1 行相同）").arg(firstRecord + *seen);
    }
}

