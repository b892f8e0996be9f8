<?xml version="1.0" encoding="UTF-8"?>
<!--
  Salary certificates (Lohnausweis, form 11) from a salary declaration document.

  One A4 page per staff block. Elements are matched by their local name only: the namespace base of
  the declaration is chosen by the program that writes the document, and the style sheet must work
  with any base. XSLT 1.0, so that the XSLT processor that comes with FOP/the Java runtime runs it.

  Amounts are printed exactly as the document gives them (only surrounding blanks are dropped; the
  database delivers fixed-width texts with trailing blanks). Dates arrive as yyyy-mm-dd and print as
  dd.mm.yyyy.

  The fonts are those that fop/fop.xconf embeds: Liberation Sans for all text, DejaVu Sans for the
  check-box glyphs and any character that Liberation Sans lacks.
-->
<xsl:stylesheet version="1.0"
                xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:fo="http://www.w3.org/1999/XSL/Format">

  <xsl:output method="xml" encoding="UTF-8" indent="no"/>

  <xsl:variable name="text-font">Liberation Sans, DejaVu Sans</xsl:variable>
  <xsl:variable name="mark-font">DejaVu Sans, Liberation Sans</xsl:variable>
  <xsl:variable name="rule-colour">#9a9a9a</xsl:variable>
  <xsl:variable name="field-colour">#f1f1f1</xsl:variable>
  <xsl:variable name="total-colour">#e1e1e1</xsl:variable>
  <xsl:variable name="label-colour">#303030</xsl:variable>


  <xsl:template match="/">
    <xsl:variable name="staff" select="//*[local-name()='Staff']"/>
    <xsl:if test="not($staff)">
      <xsl:message terminate="yes">Das Dokument enthält keinen Lohnausweis (kein Element Staff).</xsl:message>
    </xsl:if>
    <fo:root font-family="{$text-font}" font-size="8.5pt" language="de" color="#000000">
      <fo:layout-master-set>
        <fo:simple-page-master master-name="certificate" page-height="297mm" page-width="210mm"
                               margin-top="10mm" margin-bottom="7mm" margin-left="15mm" margin-right="11mm">
          <fo:region-body margin-bottom="33mm"/>
          <fo:region-after extent="31mm"/>
        </fo:simple-page-master>
      </fo:layout-master-set>
      <xsl:call-template name="metadata"/>
      <xsl:apply-templates select="$staff"/>
    </fo:root>
  </xsl:template>

  <!-- Title and author of the PDF, shown by viewers in place of the temporary file's name. -->
  <xsl:template name="metadata">
    <xsl:variable name="general" select="(//*[local-name()='GeneralSalaryDeclarationDescription'])[1]"/>
    <xsl:variable name="company" select="(//*[local-name()='CompanyDescription'])[1]"/>
    <xsl:variable name="name" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
    <fo:declarations>
      <x:xmpmeta xmlns:x="adobe:ns:meta/">
        <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
          <rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/">
            <dc:title>
              <xsl:text>Lohnausweise </xsl:text>
              <xsl:value-of select="normalize-space($general/*[local-name()='AccountingPeriod'])"/>
              <xsl:if test="$name != ''">
                <xsl:text> – </xsl:text>
                <xsl:value-of select="$name"/>
              </xsl:if>
            </dc:title>
            <xsl:if test="$name != ''">
              <dc:creator><xsl:value-of select="$name"/></dc:creator>
            </xsl:if>
          </rdf:Description>
        </rdf:RDF>
      </x:xmpmeta>
    </fo:declarations>
  </xsl:template>

  <!-- ============================================================ one certificate -->
  <xsl:template match="*[local-name()='Staff']">
    <xsl:variable name="person" select="*[local-name()='Person']"/>
    <xsl:variable name="particulars" select="$person/*[local-name()='Particulars']"/>
    <xsl:variable name="salaries" select="$person/*[local-name()='TaxSalaries']"/>
    <xsl:variable name="kind" select="$salaries/*[local-name()='TaxSalary' or local-name()='TaxAnnuity']"/>
    <!-- Without TaxSalary/TaxAnnuity the period and the amounts stand directly in TaxSalaries. -->
    <xsl:variable name="cert" select="$kind | $salaries[not($kind)]"/>
    <xsl:variable name="company" select="ancestor::*[local-name()='Company'][1]/*[local-name()='CompanyDescription']"/>
    <xsl:variable name="general" select="(//*[local-name()='GeneralSalaryDeclarationDescription'])[1]"/>

    <fo:page-sequence master-reference="certificate">
      <fo:static-content flow-name="xsl-region-after">
        <xsl:call-template name="employer">
          <xsl:with-param name="company" select="$company"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
      </fo:static-content>
      <fo:flow flow-name="xsl-region-body">
        <xsl:call-template name="title"/>
        <xsl:call-template name="head">
          <xsl:with-param name="particulars" select="$particulars"/>
          <xsl:with-param name="kind" select="$kind"/>
          <xsl:with-param name="cert" select="$cert"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
        <xsl:call-template name="address">
          <xsl:with-param name="particulars" select="$particulars"/>
        </xsl:call-template>
        <xsl:call-template name="items">
          <xsl:with-param name="c" select="$cert"/>
        </xsl:call-template>
      </fo:flow>
    </fo:page-sequence>
  </xsl:template>

  <!-- ============================================================ title -->
  <xsl:template name="title">
    <fo:block-container height="9mm" border-bottom="1.2pt solid #000000">
      <fo:block font-size="17pt" font-weight="bold" line-height="1.1" space-before="0.5mm">
        <xsl:text>Lohnausweis</xsl:text>
        <fo:inline font-size="10pt" font-weight="normal" color="{$label-colour}">
          <xsl:text>  –  Rentenbescheinigung</xsl:text>
        </fo:inline>
      </fo:block>
      <fo:block-container absolute-position="absolute" top="1.2mm" right="0mm" width="60mm">
        <fo:block text-align="end" font-size="7.5pt" color="{$label-colour}">Formular 11</fo:block>
      </fo:block-container>
    </fo:block-container>
  </xsl:template>

  <!-- ============================================================ boxes A to G -->
  <xsl:template name="head">
    <xsl:param name="particulars"/>
    <xsl:param name="kind"/>
    <xsl:param name="cert"/>
    <xsl:param name="general"/>
    <xsl:variable name="ids" select="$particulars/*[local-name()='Social-InsuranceIdentification']"/>
    <xsl:variable name="period" select="$cert/*[local-name()='Period']"/>

    <fo:table table-layout="fixed" width="100%" space-before="2.5mm" border-collapse="collapse">
      <fo:table-column column-width="44mm"/>
      <fo:table-column column-width="48mm"/>
      <fo:table-column column-width="24mm"/>
      <fo:table-column column-width="68mm"/>
      <fo:table-body>
        <fo:table-row>
          <fo:table-cell xsl:use-attribute-sets="head-cell" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">A</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxSalary'])"/>
              <xsl:with-param name="label">Lohnausweis</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">B</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxAnnuity'])"/>
              <xsl:with-param name="label">Rentenbescheinigung</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">D</xsl:with-param>
              <xsl:with-param name="label">Jahr</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:value-of select="normalize-space($general/*[local-name()='AccountingPeriod'])"/>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">E</xsl:with-param>
              <xsl:with-param name="label">Periode</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <fo:inline xsl:use-attribute-sets="inline-label">von </fo:inline>
              <xsl:call-template name="date">
                <xsl:with-param name="value" select="normalize-space($period/*[local-name()='from'])"/>
              </xsl:call-template>
              <fo:leader leader-pattern="space" leader-length="3mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label">bis </fo:inline>
              <xsl:call-template name="date">
                <xsl:with-param name="value" select="normalize-space($period/*[local-name()='until'])"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
        </fo:table-row>
        <fo:table-row>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">C</xsl:with-param>
              <xsl:with-param name="label">AHV-Nr.</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:value-of select="normalize-space($ids/*[local-name()='AHV-AVS-Number'])"/>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <fo:block xsl:use-attribute-sets="caption">Neue AHV-Nr.</fo:block>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:value-of select="normalize-space($ids/*[local-name()='SV-AS-Number'])"/>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell" number-columns-spanned="2" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">F</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='FreeTransport'])"/>
              <xsl:with-param name="label">Unentgeltliche Beförderung zwischen Wohn- und Arbeitsort</xsl:with-param>
            </xsl:call-template>
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">G</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='CanteenLunchCheck'])"/>
              <xsl:with-param name="label">Kantinenverpflegung / Lunch-Checks</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <!-- ============================================================ box H -->
  <!--
    The address sits where a window envelope shows it: about 45 mm from the top edge of the page,
    22 mm from the left edge for a window on the left, 118 mm for a window on the right. The band
    keeps its height whatever the address, so that the items below do not move.
  -->
  <xsl:template name="address">
    <xsl:param name="particulars"/>
    <xsl:variable name="addr" select="$particulars/*[local-name()='Address']"/>
    <xsl:variable name="right" select="normalize-space($addr/*[local-name()='Aligmment']) = 'right'"/>
    <fo:table table-layout="fixed" width="100%">
      <fo:table-column column-width="95mm"/>
      <fo:table-column column-width="89mm"/>
      <fo:table-body>
        <fo:table-row height="32mm">
          <fo:table-cell padding-left="7mm" padding-top="5mm" padding-right="6mm">
            <xsl:if test="not($right)">
              <xsl:call-template name="address-lines">
                <xsl:with-param name="particulars" select="$particulars"/>
              </xsl:call-template>
            </xsl:if>
            <fo:block/>
          </fo:table-cell>
          <fo:table-cell padding-left="8mm" padding-top="5mm">
            <xsl:if test="$right">
              <xsl:call-template name="address-lines">
                <xsl:with-param name="particulars" select="$particulars"/>
              </xsl:call-template>
            </xsl:if>
            <fo:block/>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <xsl:template name="address-lines">
    <xsl:param name="particulars"/>
    <xsl:variable name="addr" select="$particulars/*[local-name()='Address']"/>
    <fo:block font-size="10pt" line-height="1.25">
      <fo:block><xsl:value-of select="normalize-space($particulars/*[local-name()='Name'])"/></fo:block>
      <fo:block><xsl:value-of select="normalize-space($addr/*[local-name()='Street'])"/></fo:block>
      <fo:block>
        <xsl:value-of select="normalize-space($addr/*[local-name()='ZIP-Code'])"/>
        <xsl:text> </xsl:text>
        <xsl:value-of select="normalize-space($addr/*[local-name()='City'])"/>
      </fo:block>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ items 1 to 15 -->
  <xsl:template name="items">
    <xsl:param name="c"/>
    <xsl:variable name="fringe" select="$c/*[local-name()='FringeBenefits']"/>
    <xsl:variable name="bvg" select="$c/*[local-name()='BVG-LPP-Contribution']"/>
    <xsl:variable name="charges" select="$c/*[local-name()='Charges']"/>
    <xsl:variable name="effective" select="$charges/*[local-name()='Effective']"/>
    <xsl:variable name="lumpsum" select="$charges/*[local-name()='LumpSum']"/>

    <!-- One fixed line height for labels, texts, amounts and check marks of different sizes, so that
         label and amount of an item stand on one base line. -->
    <fo:table table-layout="fixed" width="100%" border-collapse="collapse" space-before="1mm" line-height="10.5pt">
      <fo:table-column column-width="11mm"/>
      <fo:table-column column-width="137mm"/>
      <fo:table-column column-width="5mm"/>
      <fo:table-column column-width="31mm"/>
      <fo:table-header>
        <fo:table-row>
          <fo:table-cell number-columns-spanned="3" border-bottom="0.8pt solid #000000" padding-bottom="0.6mm">
            <fo:block font-size="7pt" color="{$label-colour}">Ziffer</fo:block>
          </fo:table-cell>
          <fo:table-cell border-bottom="0.8pt solid #000000" padding-bottom="0.6mm" padding-right="1.5mm">
            <fo:block font-size="7pt" font-weight="bold" text-align="end">CHF</fo:block>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-header>
      <fo:table-body>
        <xsl:call-template name="item">
          <xsl:with-param name="num">1.</xsl:with-param>
          <xsl:with-param name="label">Lohn soweit nicht unter Ziffer 2–7 aufzuführen / Rente</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='Income']"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">2.</xsl:with-param>
          <xsl:with-param name="label">Gehaltsnebenleistungen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">2.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Verpflegung, Unterkunft</xsl:with-param>
          <xsl:with-param name="amount" select="$fringe/*[local-name()='FoodLodging']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">2.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Privatanteil Geschäftsfahrzeug</xsl:with-param>
          <xsl:with-param name="amount" select="$fringe/*[local-name()='CompanyCar']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">2.3</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Andere</xsl:with-param>
          <xsl:with-param name="node" select="$fringe/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">3.</xsl:with-param>
          <xsl:with-param name="label">Unregelmässige Leistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='SporadicBenefits']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">4.</xsl:with-param>
          <xsl:with-param name="label">Kapitalleistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='CapitalPayment']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">5.</xsl:with-param>
          <xsl:with-param name="label">Beteiligungsrechte gemäss Beiblatt</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='OwnershipRight']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">6.</xsl:with-param>
          <xsl:with-param name="label">Verwaltungsratsentschädigungen</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='BoardOfDirectorsRemuneration']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">7.</xsl:with-param>
          <xsl:with-param name="label">Andere Leistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='OtherBenefits']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">8.</xsl:with-param>
          <xsl:with-param name="label">Bruttolohn total / Rente</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='GrossIncome']"/>
          <xsl:with-param name="total" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">9.</xsl:with-param>
          <xsl:with-param name="label">Beiträge AHV/IV/EO/ALV/NBUV</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='AHV-ALV-NBUV-AVS-AC-AANP-Contribution']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">10.</xsl:with-param>
          <xsl:with-param name="label">Berufliche Vorsorge 2. Säule</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">10.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Ordentliche Beiträge</xsl:with-param>
          <xsl:with-param name="amount" select="$bvg/*[local-name()='Regular']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">10.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Beiträge für den Einkauf</xsl:with-param>
          <xsl:with-param name="amount" select="$bvg/*[local-name()='Purchase']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">11.</xsl:with-param>
          <xsl:with-param name="label">Nettolohn / Rente</xsl:with-param>
          <xsl:with-param name="note">in die Steuererklärung übertragen</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='NetIncome']"/>
          <xsl:with-param name="total" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">12.</xsl:with-param>
          <xsl:with-param name="label">Quellensteuerabzug</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='DeductionAtSource']"/>
          <xsl:with-param name="gap" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.</xsl:with-param>
          <xsl:with-param name="label">Spesenvergütungen</xsl:with-param>
          <xsl:with-param name="note">nicht im Bruttolohn gemäss Ziffer 8 enthalten</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Effektive Spesen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.1.1</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Reise, Verpflegung, Übernachtung</xsl:with-param>
          <xsl:with-param name="amount" select="$effective/*[local-name()='TravelFoodAccommodation']"/>
          <xsl:with-param name="check" select="concat('', boolean($effective/*[local-name()='TravelFoodAccommodationCHK']))"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">13.1.2</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Übrige</xsl:with-param>
          <xsl:with-param name="node" select="$effective/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Pauschalspesen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.2.1</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Repräsentation</xsl:with-param>
          <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Representation']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.2.2</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Auto</xsl:with-param>
          <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Car']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">13.2.3</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Übrige</xsl:with-param>
          <xsl:with-param name="node" select="$lumpsum/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.3</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Beiträge an die Weiterbildung</xsl:with-param>
          <xsl:with-param name="amount" select="$charges/*[local-name()='Education']"/>
        </xsl:call-template>
        <xsl:call-template name="text-item">
          <xsl:with-param name="num">14.</xsl:with-param>
          <xsl:with-param name="label">Weitere Gehaltsnebenleistungen</xsl:with-param>
          <xsl:with-param name="art" select="true()"/>
          <xsl:with-param name="text" select="normalize-space($c/*[local-name()='OtherFringeBenefits'])"/>
        </xsl:call-template>
        <xsl:call-template name="text-item">
          <xsl:with-param name="num">15.</xsl:with-param>
          <xsl:with-param name="label">Bemerkungen</xsl:with-param>
          <xsl:with-param name="text" select="normalize-space($c/*[local-name()='Remark'])"/>
        </xsl:call-template>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <!-- An item with an amount. -->
  <xsl:template name="item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="amount"/>
    <xsl:param name="level" select="0"/>
    <xsl:param name="sign" select="''"/>
    <xsl:param name="total" select="false()"/>
    <xsl:param name="gap" select="false()"/>
    <!-- 'true' or 'false' for the check mark of item 13.1.1, empty for the other items. -->
    <xsl:param name="check" select="''"/>
    <xsl:param name="art" select="false()"/>
    <xsl:param name="art-text" select="''"/>
    <fo:table-row keep-together.within-page="always">
      <xsl:if test="$total">
        <xsl:attribute name="font-weight">bold</xsl:attribute>
      </xsl:if>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
          <xsl:with-param name="level" select="$level"/>
          <xsl:with-param name="total" select="$total"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <fo:block start-indent="{$level * 4}mm" end-indent="2mm">
          <xsl:value-of select="$label"/>
          <xsl:if test="$note != ''">
            <fo:inline font-weight="normal" font-size="7.5pt" color="{$label-colour}">
              <xsl:text> – </xsl:text>
              <xsl:value-of select="$note"/>
            </fo:inline>
          </xsl:if>
          <xsl:if test="$art">
            <fo:inline xsl:use-attribute-sets="inline-label"> – Art: </fo:inline>
            <fo:inline xsl:use-attribute-sets="text-value"><xsl:value-of select="$art-text"/></fo:inline>
          </xsl:if>
          <xsl:if test="$check != ''">
            <xsl:text>   </xsl:text>
            <xsl:call-template name="check-mark">
              <xsl:with-param name="set" select="$check = 'true'"/>
              <xsl:with-param name="size">8pt</xsl:with-param>
            </xsl:call-template>
          </xsl:if>
        </fo:block>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <fo:block text-align="center" font-weight="bold"><xsl:value-of select="$sign"/></fo:block>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell amount-cell" display-align="after">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <xsl:attribute name="background-color">
          <xsl:choose>
            <xsl:when test="$total"><xsl:value-of select="$total-colour"/></xsl:when>
            <xsl:otherwise><xsl:value-of select="$field-colour"/></xsl:otherwise>
          </xsl:choose>
        </xsl:attribute>
        <fo:block text-align="end" font-size="9pt">
          <xsl:value-of select="normalize-space($amount)"/>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <!-- An item whose element holds a description (Text) and an amount (Sum). -->
  <xsl:template name="item-with-text">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="node"/>
    <xsl:param name="level" select="0"/>
    <xsl:call-template name="item">
      <xsl:with-param name="num" select="$num"/>
      <xsl:with-param name="label" select="$label"/>
      <xsl:with-param name="level" select="$level"/>
      <xsl:with-param name="amount" select="$node/*[local-name()='Sum']"/>
      <xsl:with-param name="art" select="true()"/>
      <xsl:with-param name="art-text" select="normalize-space($node/*[local-name()='Text'])"/>
    </xsl:call-template>
  </xsl:template>

  <!-- A group heading without an amount of its own (2, 10, 13, 13.1, 13.2). -->
  <xsl:template name="heading">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="level" select="0"/>
    <fo:table-row keep-with-next.within-page="always">
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border"/>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
          <xsl:with-param name="level" select="$level"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell" number-columns-spanned="3">
        <xsl:call-template name="row-border"/>
        <fo:block start-indent="{$level * 4}mm">
          <xsl:value-of select="$label"/>
          <xsl:if test="$note != ''">
            <fo:inline font-size="7.5pt" color="{$label-colour}">
              <xsl:text> (</xsl:text>
              <xsl:value-of select="$note"/>
              <xsl:text>)</xsl:text>
            </fo:inline>
          </xsl:if>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <!-- Items 14 and 15: a text across the whole width, no amount. -->
  <xsl:template name="text-item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="art" select="false()"/>
    <xsl:param name="text"/>
    <fo:table-row keep-together.within-page="always">
      <fo:table-cell xsl:use-attribute-sets="item-cell" padding-top="1.2mm">
        <xsl:call-template name="row-border"/>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell" number-columns-spanned="3" padding-top="1.2mm">
        <xsl:call-template name="row-border"/>
        <fo:block end-indent="1.5mm">
          <xsl:value-of select="$label"/>
          <xsl:choose>
            <xsl:when test="$art">
              <fo:inline xsl:use-attribute-sets="inline-label"> – Art: </fo:inline>
            </xsl:when>
            <xsl:otherwise>
              <fo:inline xsl:use-attribute-sets="inline-label">: </fo:inline>
            </xsl:otherwise>
          </xsl:choose>
          <fo:inline xsl:use-attribute-sets="text-value"><xsl:value-of select="$text"/></fo:inline>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <xsl:template name="number">
    <xsl:param name="num"/>
    <xsl:param name="level" select="0"/>
    <xsl:param name="total" select="false()"/>
    <fo:block>
      <xsl:choose>
        <xsl:when test="$level = 0 or $total">
          <xsl:attribute name="font-weight">bold</xsl:attribute>
        </xsl:when>
        <xsl:otherwise>
          <xsl:attribute name="color"><xsl:value-of select="$label-colour"/></xsl:attribute>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:value-of select="$num"/>
    </fo:block>
  </xsl:template>

  <!-- Thin rule under every item; the totals get a strong rule above, 12 some air above. -->
  <xsl:template name="row-border">
    <xsl:param name="total" select="false()"/>
    <xsl:param name="gap" select="false()"/>
    <xsl:attribute name="border-bottom">
      <xsl:value-of select="concat('0.3pt solid ', $rule-colour)"/>
    </xsl:attribute>
    <xsl:if test="$total">
      <xsl:attribute name="border-top">0.9pt solid #000000</xsl:attribute>
      <xsl:attribute name="border-bottom">0.9pt solid #000000</xsl:attribute>
      <xsl:attribute name="padding-top">1mm</xsl:attribute>
      <xsl:attribute name="padding-bottom">1mm</xsl:attribute>
    </xsl:if>
    <xsl:if test="$gap">
      <xsl:attribute name="padding-top">1.6mm</xsl:attribute>
    </xsl:if>
  </xsl:template>

  <!-- ============================================================ box I -->
  <xsl:template name="employer">
    <xsl:param name="company"/>
    <xsl:param name="general"/>
    <xsl:variable name="addr" select="$company/*[local-name()='Address']"/>
    <xsl:variable name="contact" select="$general/*[local-name()='ContactPerson']"/>
    <fo:table table-layout="fixed" width="100%" border-collapse="collapse" border-top="1.2pt solid #000000">
      <fo:table-column column-width="50mm"/>
      <fo:table-column column-width="134mm"/>
      <fo:table-body>
        <fo:table-row>
          <fo:table-cell padding-top="1.5mm" padding-right="3mm">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">I</xsl:with-param>
              <xsl:with-param name="label">Ort und Datum</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:value-of select="normalize-space($general/*[local-name()='CityDate'])"/>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell padding-top="1.5mm" padding-left="3mm" border-left="0.3pt solid {$rule-colour}">
            <fo:block xsl:use-attribute-sets="caption">
              <xsl:text>Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des Arbeitgebers</xsl:text>
            </fo:block>
            <fo:block font-size="9.5pt" font-weight="bold" space-before="1.5mm">
              <xsl:value-of select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
            </fo:block>
            <fo:block font-size="9pt">
              <xsl:value-of select="normalize-space($addr/*[local-name()='Street'])"/>
            </fo:block>
            <fo:block font-size="9pt">
              <xsl:value-of select="normalize-space($addr/*[local-name()='ZIP-City'])"/>
            </fo:block>
            <fo:block font-size="9pt" space-before="1mm">
              <fo:inline xsl:use-attribute-sets="inline-label">Auskunft: </fo:inline>
              <xsl:value-of select="normalize-space($contact/*[local-name()='Name'])"/>
              <fo:leader leader-pattern="space" leader-length="6mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label">Telefon: </fo:inline>
              <xsl:value-of select="normalize-space($contact/*[local-name()='PhoneNumber'])"/>
            </fo:block>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
    <fo:block font-size="6.5pt" color="#707070" text-align="end" space-before="1.5mm">
      <xsl:text>Erstellt am </xsl:text>
      <xsl:call-template name="date">
        <xsl:with-param name="value" select="normalize-space($general/*[local-name()='CreationDate'])"/>
      </xsl:call-template>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ small parts -->

  <!-- A box letter on a dark ground, as the form marks its boxes. -->
  <xsl:template name="letter">
    <xsl:param name="letter"/>
    <fo:inline font-weight="bold" font-size="7pt" color="#ffffff" background-color="#3a3a3a"
               padding-left="0.7mm" padding-right="0.7mm" padding-top="0.1mm" padding-bottom="0.1mm">
      <xsl:value-of select="$letter"/>
    </fo:inline>
  </xsl:template>

  <xsl:template name="caption">
    <xsl:param name="letter" select="''"/>
    <xsl:param name="label"/>
    <fo:block xsl:use-attribute-sets="caption">
      <xsl:if test="$letter != ''">
        <xsl:call-template name="letter">
          <xsl:with-param name="letter" select="$letter"/>
        </xsl:call-template>
        <xsl:text>  </xsl:text>
      </xsl:if>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <xsl:template name="check-mark">
    <xsl:param name="set"/>
    <xsl:param name="size">10pt</xsl:param>
    <fo:inline font-family="{$mark-font}" font-size="{$size}" font-weight="normal">
      <xsl:choose>
        <xsl:when test="$set">&#x2612;</xsl:when>
        <xsl:otherwise>&#x2610;</xsl:otherwise>
      </xsl:choose>
    </fo:inline>
  </xsl:template>

  <xsl:template name="check-line">
    <xsl:param name="letter"/>
    <xsl:param name="set"/>
    <xsl:param name="label"/>
    <fo:block font-size="8.5pt" line-height="1.45">
      <xsl:call-template name="letter">
        <xsl:with-param name="letter" select="$letter"/>
      </xsl:call-template>
      <xsl:text>  </xsl:text>
      <xsl:call-template name="check-mark">
        <xsl:with-param name="set" select="$set"/>
      </xsl:call-template>
      <xsl:text> </xsl:text>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <!-- yyyy-mm-dd as dd.mm.yyyy; anything else as it stands, so that no date is ever invented. -->
  <xsl:template name="date">
    <xsl:param name="value"/>
    <xsl:choose>
      <xsl:when test="string-length($value) = 10 and substring($value, 5, 1) = '-' and substring($value, 8, 1) = '-'
                      and translate($value, '0123456789', '') = '--'">
        <xsl:value-of select="concat(substring($value, 9, 2), '.', substring($value, 6, 2), '.', substring($value, 1, 4))"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$value"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ attribute sets -->
  <xsl:attribute-set name="head-cell">
    <xsl:attribute name="border">0.4pt solid #7a7a7a</xsl:attribute>
    <xsl:attribute name="padding">1.2mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="caption">
    <xsl:attribute name="font-size">7pt</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
    <xsl:attribute name="line-height">1.3</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="head-value">
    <xsl:attribute name="font-size">9.5pt</xsl:attribute>
    <xsl:attribute name="space-before">0.6mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="inline-label">
    <xsl:attribute name="font-size">7.5pt</xsl:attribute>
    <xsl:attribute name="font-weight">normal</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="text-value">
    <xsl:attribute name="font-size">8.5pt</xsl:attribute>
    <xsl:attribute name="font-style">italic</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="item-cell">
    <xsl:attribute name="padding-top">0.5mm</xsl:attribute>
    <xsl:attribute name="padding-bottom">0.5mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="amount-cell">
    <xsl:attribute name="padding-right">1.5mm</xsl:attribute>
    <xsl:attribute name="padding-left">1mm</xsl:attribute>
  </xsl:attribute-set>

</xsl:stylesheet>
