// Opens a report site from file:// in Debian's headless chromium and uses it
// as a reader would: the search box finds an element and opens its page, a
// matrix sorts and filters, a diagram's element opens its page. Any request
// that is not for a file fails the test (and is aborted), as does any console
// error or uncaught exception. Screenshots of the index and of a diagram go
// to SHOTS.
// Usage: node browser_test.mjs SITE SHOTS NAME
//   NAME: an element name the search must find
import assert from "node:assert/strict";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";

const [site, shots, wanted] = process.argv.slice(2);
const pageUrl = (file) => pathToFileURL(path.join(site, file)).href;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--no-sandbox"],
});
const offline = [];
const errors = [];
const context = await browser.newContext();
await context.route(/^(?!file:)/, (route) => {
  offline.push(route.request().url());
  return route.abort();
});
const page = await context.newPage();
page.on("request", (request) => {
  if (!/^(file|data|blob):/.test(request.url())) offline.push(request.url());
});
page.on("console", (message) => {
  if (message.type() === "error") errors.push(`console: ${message.text()}`);
});
page.on("pageerror", (error) => errors.push(`exception: ${error.message}`));

async function step(name, run) {
  try {
    await run();
    console.log(`ok   ${name}`);
  } catch (error) {
    console.log(`FAIL ${name}: ${error.message}`);
    process.exitCode = 1;
  }
}

await step("the index opens from file://", async () => {
  await page.goto(pageUrl("index.html"));
  assert.ok((await page.title()).length > 0, "the index has a title");
  await page.screenshot({ path: path.join(shots, "index.png"), fullPage: true });
});

await step(`the search box finds "${wanted}" and Enter opens its page`, async () => {
  await page.goto(pageUrl("index.html"));
  await page.fill("#search", wanted.slice(0, Math.max(3, wanted.length - 2)).toLowerCase());
  const hit = page.locator("#search-results a", { hasText: wanted }).first();
  await hit.waitFor({ timeout: 5000 });
  await page.fill("#search", wanted);
  await page.locator("#search-results a").first().waitFor({ timeout: 5000 });
  await Promise.all([page.waitForURL(/\/elements\/[^/]+\.html$/), page.press("#search", "Enter")]);
  assert.match(await page.locator("h1").innerText(), new RegExp(escapeRegExp(wanted)));
});

await step("a matrix sorts by a column both ways and filters its rows", async () => {
  await page.goto(pageUrl("traceability.html"));
  const table = page.locator("#traceability-matrix");
  const header = table.locator("th").first();
  const firstColumn = () => table.locator("tbody tr:visible td:first-child, tbody tr:visible th:first-child").allInnerTexts();
  await header.click();
  assert.equal(await header.getAttribute("aria-sort"), "ascending");
  const ascending = await firstColumn();
  assert.deepEqual(ascending, [...ascending].sort(compareText), "rows in ascending order");
  await header.click();
  assert.equal(await header.getAttribute("aria-sort"), "descending");
  assert.deepEqual(await firstColumn(), [...ascending].reverse(), "rows in descending order");
  const filter = page.locator('input.table-filter[data-table="traceability-matrix"]');
  await filter.fill(ascending[0]);
  const rows = await table.locator("tbody tr").evaluateAll((all) =>
    all.map((row) => ({ text: row.innerText, shown: row.offsetParent !== null })),
  );
  assert.ok(rows.some((row) => row.shown), "the filter keeps the row it names");
  for (const row of rows)
    assert.equal(
      row.shown,
      row.text.toLowerCase().includes(ascending[0].toLowerCase()),
      `shown if and only if it holds the text: ${row.text}`,
    );
});

await step("an element on a diagram opens its page", async () => {
  await page.goto(pageUrl("index.html"));
  const diagram = page.locator('a[href^="diagrams/"]').first();
  await Promise.all([page.waitForURL(/\/diagrams\/[^/]+\.html$/), diagram.click()]);
  await page.screenshot({ path: path.join(shots, "diagram.png"), fullPage: true });
  const element = page.locator("svg a").first();
  await Promise.all([page.waitForURL(/\/elements\/[^/]+\.html$/), element.click()]);
  assert.ok((await page.locator("h1").innerText()).length > 0, "the element page has a heading");
});

await step("no request left the file system", async () => {
  assert.deepEqual(offline, []);
});
await step("no console error or uncaught exception", async () => {
  assert.deepEqual(errors, []);
});
await browser.close();

function escapeRegExp(text) {
  return text.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
}

function compareText(a, b) {
  return a.localeCompare(b, undefined, { numeric: true });
}
