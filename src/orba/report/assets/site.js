// The report site's behaviour: the search box over window.orbaSearchIndex,
// sortable tables (click a heading) and filter boxes over tables. Plain
// script, no network: it works from file://.
(function () {
  'use strict';

  // Leads from this page to the site's root ("" or "../").
  var root = document.body.getAttribute('data-root') || '';

  function setUpSearch() {
    var box = document.getElementById('search');
    var results = document.getElementById('search-results');
    if (!box || !results) return;
    var index = window.orbaSearchIndex || [];

    function show() {
      var wanted = box.value.trim().toLowerCase();
      while (results.firstChild) results.removeChild(results.firstChild);
      if (wanted === '') return;
      index.forEach(function (entry) {
        if (entry.name.toLowerCase().indexOf(wanted) === -1) return;
        var item = document.createElement('li');
        var link = document.createElement('a');
        link.href = root + entry.href;
        link.textContent = entry.name;
        link.title = entry.kind;
        item.appendChild(link);
        results.appendChild(item);
      });
    }

    box.addEventListener('input', show);
    box.addEventListener('keydown', function (event) {
      if (event.key !== 'Enter') return;
      var first = results.querySelector('a');
      if (first) window.location.href = first.href;
    });
  }

  // A number when the whole text is one ("12", "62.5 %"), else null.
  function numberIn(text) {
    var match = /^\s*(-?\d+(?:\.\d+)?)\s*%?\s*$/.exec(text);
    return match ? parseFloat(match[1]) : null;
  }

  function compareCells(a, b) {
    var x = numberIn(a);
    var y = numberIn(b);
    if (x !== null && y !== null) return x - y;
    return a.localeCompare(b, undefined, { numeric: true });
  }

  function sortBy(table, heading, column) {
    var ascending = heading.getAttribute('aria-sort') !== 'ascending';
    table.querySelectorAll('thead th').forEach(function (other) {
      other.removeAttribute('aria-sort');
    });
    heading.setAttribute('aria-sort', ascending ? 'ascending' : 'descending');
    var body = table.tBodies[0];
    var rows = Array.prototype.slice.call(body.rows);
    rows.sort(function (first, second) {
      var a = first.cells[column] ? first.cells[column].textContent : '';
      var b = second.cells[column] ? second.cells[column].textContent : '';
      var order = compareCells(a, b);
      return ascending ? order : -order;
    });
    rows.forEach(function (row) { body.appendChild(row); });
  }

  function setUpSorting() {
    document.querySelectorAll('table.sortable').forEach(function (table) {
      if (!table.tHead || !table.tBodies.length) return;
      var headings = table.tHead.rows[0].cells;
      Array.prototype.forEach.call(headings, function (heading, column) {
        heading.addEventListener('click', function (event) {
          if (event.target.closest('a')) return;  // a heading's link still leads away
          sortBy(table, heading, column);
        });
      });
    });
  }

  // A row's text, its cells apart, so that no match runs from one into the next.
  function rowText(row) {
    return Array.prototype.map.call(row.cells, function (cell) {
      return cell.textContent;
    }).join('\t').toLowerCase();
  }

  function setUpFilters() {
    document.querySelectorAll('input.table-filter').forEach(function (box) {
      var table = document.getElementById(box.getAttribute('data-table'));
      if (!table || !table.tBodies.length) return;
      box.addEventListener('input', function () {
        var wanted = box.value.trim().toLowerCase();
        Array.prototype.forEach.call(table.tBodies[0].rows, function (row) {
          var shown = wanted === '' || rowText(row).indexOf(wanted) !== -1;
          row.hidden = !shown;
        });
      });
    });
  }

  setUpSearch();
  setUpSorting();
  setUpFilters();
})();
